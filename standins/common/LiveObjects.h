#pragma once

namespace standin {

// Counts the stand-in's COM objects that exist right now. Every object class
// holds one LiveObject member, so the count is exact whatever the class.
class LiveObject {
public:
    LiveObject();
    ~LiveObject();
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

    static long count();
};

}  // namespace standin
