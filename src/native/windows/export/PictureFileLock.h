#pragma once

#include "platform/com/UniqueHandle.h"

namespace exporting {

// Two exporters of the same user share one picture file. Each holds this
// lock, named after the file, from the moment Outlook saves a picture until
// the picture has been read back, so neither reads the other's picture.
// The named mutex behind it is opened once, for the first picture, and kept
// for the rest of the run.
class PictureFileLock {
public:
    // The lock, held until this goes out of scope.
    using Holding = com::UniqueHandle<HANDLE, com::CloseWith<ReleaseMutex>>;

    PictureFileLock() noexcept = default;
    PictureFileLock(const PictureFileLock&) = delete;
    PictureFileLock& operator=(const PictureFileLock&) = delete;

    // Waits for the lock of the picture file at `picturePath` (the same file
    // for the whole run); raises the COM error when it cannot be had.
    [[nodiscard]] Holding hold(const wchar_t* picturePath);

private:
    com::UniqueKernelHandle mutex;
};

}  // namespace exporting
