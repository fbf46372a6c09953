// CAppInfoBase: the settings key of the program, "Software\Orvandel\ZR8 Utility" under
// the current user, opened (and created when missing) at construction and held until
// destruction. It is what persisted values load from and save to. Underneath is the
// platform's settings store: the registry on Windows, a .reg file elsewhere, or the
// in-memory store a test hands in.
#pragma once

#include <memory>

#include "platform/settings_store.h"

class CAppInfoBase {
public:
    // A null store opens the platform's store; if even that cannot be had, settings are
    // kept in memory for this run rather than lost on every call.
    explicit CAppInfoBase(std::unique_ptr<ISettingsStore> store = nullptr);
    virtual ~CAppInfoBase();
    CAppInfoBase(const CAppInfoBase&) = delete;
    CAppInfoBase& operator=(const CAppInfoBase&) = delete;

    ISettingsStore& Store() { return *m_store; }
    const ISettingsStore& Store() const { return *m_store; }

private:
    std::unique_ptr<ISettingsStore> m_store;
};

// The key holder of one owner class (the model: CAppInfoT<CModelBase>).
template <class TOwner>
class CAppInfoT : public CAppInfoBase {
public:
    explicit CAppInfoT(std::unique_ptr<ISettingsStore> store = nullptr) : CAppInfoBase(std::move(store)) {}
};
