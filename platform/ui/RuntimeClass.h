#pragma once
// Run-time class information, as far as the program needs it: a class's name, its base class,
// and for the classes that can be made from their information, a way to make one. The sheet and
// its pages carry it; nothing in the framework depends on it.

#include <memory>

class CWnd;

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    // Null for identification only.
    std::unique_ptr<CWnd> (*m_pfnCreateObject)();

    // A new object of the class, or null when the class cannot be made from its information.
    std::unique_ptr<CWnd> CreateObject() const {
        return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr;
    }
    // True for this class and every class it derives from.
    bool IsDerivedFrom(const CRuntimeClass* base) const {
        for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
            if (c == base) {
                return true;
            }
        }
        return false;
    }
};

// The creation function of a class that has a default constructor.
template <class T> std::unique_ptr<CWnd> CreateRuntimeObject() {
    return std::make_unique<T>();
}
