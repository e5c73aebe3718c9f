#include "Attachment.h"

#include "Results.h"
#include "com/UniqueHandle.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace standin::outlook {

namespace {

// Files saved with "holdOpen": open, shared with no one, until the process ends.
void holdUntilExit(com::UniqueFile file) {
    static std::mutex mutex;
    static std::vector<com::UniqueFile> held;
    const std::lock_guard<std::mutex> lock(mutex);
    held.push_back(std::move(file));
}

HRESULT writeFile(const std::wstring& path, const profile::AttachmentContent& content) {
    com::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return HRESULT_FROM_WIN32(GetLastError());
    const profile::Bytes& bytes = content.bytes;
    size_t offset = 0;
    while (offset < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + offset, chunk, &written, nullptr)) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        if (written == 0) return E_FAIL;
        offset += written;
    }
    if (content.holdOpen) holdUntilExit(std::move(file));
    return S_OK;
}

}  // namespace

Attachment::Attachment(SessionPtr session, size_t item, size_t attachment)
    : DispatchObject(std::move(session), ::outlook::AttachmentInterface) {
    const profile::AttachmentContent& content = this->session()->profile().item(item).contact.attachments[attachment];
    addProperty("FileName", ResultKind::Bstr, [&content](VARIANT& result) { setText(result, content.fileName); });
    addTextMethod("SaveAsFile", ResultKind::Value, [&content](const std::wstring& path, VARIANT&) {
        if (path.empty() || path.find(L'\0') != std::wstring::npos) return E_INVALIDARG;
        return writeFile(path, content);
    });
}

}  // namespace standin::outlook
