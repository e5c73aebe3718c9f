#pragma once

#include <windows.h>

#include <string>

// Two exporters of the same user share one picture file. Each holds this
// lock, named after the file, from the moment Outlook saves a picture until
// the picture has been read back, so neither reads the other's picture.
class PictureFileLock {
public:
    // Waits for the lock; raises the COM error when it cannot be had.
    explicit PictureFileLock(const std::wstring& picturePath);
    ~PictureFileLock();
    PictureFileLock(const PictureFileLock&) = delete;
    PictureFileLock& operator=(const PictureFileLock&) = delete;

private:
    HANDLE mutex;
};
