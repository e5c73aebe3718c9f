#include "Attachment.h"

#include "UniqueHandle.h"

namespace outlook {

namespace {

HRESULT writeFile(const std::wstring& path, const Bytes& bytes) {
    standin::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    size_t offset = 0;
    while (offset < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + offset, chunk, &written, nullptr)) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        if (written == 0) {
            return E_FAIL;
        }
        offset += written;
    }
    return S_OK;
}

}  // namespace

Attachment::Attachment(SessionPtr session, size_t item, size_t attachment)
    : DispatchObject(std::move(session), AttachmentInterface) {
    const Bytes& bytes = this->session()->profile().items[item].contact.attachments[attachment];
    addMember("SaveAsFile", ResultKind::Value, [&bytes](const Arguments& arguments, VARIANT&) {
        std::wstring path;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.text(0, path);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        if (path.empty() || path.find(L'\0') != std::wstring::npos) {
            return E_INVALIDARG;
        }
        return writeFile(path, bytes);
    });
}

}  // namespace outlook
