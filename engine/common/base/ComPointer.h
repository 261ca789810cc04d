#pragma once

namespace RVGameEngine {
namespace Common {

// Holds one reference to a COM interface and releases it when it goes.
template <typename T>
class TComPointer
{
public:
    TComPointer() = default;
    ~TComPointer() { Reset(); }
    TComPointer(const TComPointer&) = delete;
    TComPointer& operator=(const TComPointer&) = delete;

    void Reset()
    {
        if (m_object != nullptr) {
            m_object->Release();
            m_object = nullptr;
        }
    }

    // For functions that hand out a new reference through an out pointer.
    T** Receive()
    {
        Reset();
        return &m_object;
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

} // namespace Common
} // namespace RVGameEngine
