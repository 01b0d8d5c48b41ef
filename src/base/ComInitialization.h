#pragma once
// COM for the calling thread for one scope. Every successful CoInitialize,
// S_FALSE ("already initialised") included, is balanced by CoUninitialize.

#include <objbase.h>

class ComInitialization {
public:
    ComInitialization() noexcept : m_result(CoInitialize(nullptr)) {}
    ~ComInitialization()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

    bool Succeeded() const noexcept { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};
