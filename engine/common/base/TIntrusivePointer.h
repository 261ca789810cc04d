#pragma once

#include "engine/common/base/FatalError.h"

#include <type_traits>

namespace RVGameEngine {
namespace Common {

// Holds one reference to a reference-counted engine object.
template <typename T>
class TIntrusivePointer
{
public:
    TIntrusivePointer() = default;

    // Factories that hand out new objects ask for a reference, so the object
    // starts with a count of 1 held by this pointer.
    explicit TIntrusivePointer(T* object, bool addReference = true) : m_object(object)
    {
        if (m_object != nullptr && addReference)
            m_object->AddRef();
    }

    TIntrusivePointer(const TIntrusivePointer& other) : TIntrusivePointer(other.m_object, true) {}

    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TIntrusivePointer(const TIntrusivePointer<U>& other) : TIntrusivePointer(other.Get(), true)
    {
    }

    TIntrusivePointer(TIntrusivePointer&& other) noexcept : m_object(other.m_object)
    {
        other.m_object = nullptr;
    }

    ~TIntrusivePointer() { Reset(); }

    TIntrusivePointer& operator=(const TIntrusivePointer& other)
    {
        Assign(other.m_object);
        return *this;
    }

    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TIntrusivePointer& operator=(const TIntrusivePointer<U>& other)
    {
        Assign(other.Get());
        return *this;
    }

    TIntrusivePointer& operator=(TIntrusivePointer&& other) noexcept
    {
        if (this != &other) {
            // Take the other's object before releasing ours: ours may be the
            // owner of the other pointer.
            T* previous = m_object;
            m_object = other.m_object;
            other.m_object = nullptr;
            if (previous != nullptr)
                previous->Release();
        }
        return *this;
    }

    void Reset()
    {
        // Clear first: the release may run code that looks at this pointer.
        T* object = m_object;
        m_object = nullptr;
        if (object != nullptr)
            object->Release();
    }

    T* Get() const { return m_object; }
    bool IsNull() const { return m_object == nullptr; }
    explicit operator bool() const { return m_object != nullptr; }

    T* operator->() const
    {
        if (m_object == nullptr)
            EngineFatalError("Access through an empty intrusive pointer");
        return m_object;
    }

    T& operator*() const { return *operator->(); }

    bool operator==(const TIntrusivePointer& other) const { return m_object == other.m_object; }
    bool operator!=(const TIntrusivePointer& other) const { return m_object != other.m_object; }

private:
    void Assign(T* object)
    {
        if (object == m_object)
            return;
        // Take the new reference before dropping the old one: the old object
        // may be the only owner of the new one.
        if (object != nullptr)
            object->AddRef();
        T* previous = m_object;
        m_object = object;
        if (previous != nullptr)
            previous->Release();
    }

    T* m_object = nullptr;
};

} // namespace Common
} // namespace RVGameEngine
