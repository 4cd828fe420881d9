#pragma once
// What keeps this module (an add-in DLL, the host program) in use: its live
// COM objects and the locks its class factory holds (IClassFactory::
// LockServer). DllCanUnloadNow answers from both.

namespace com {

void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockModule(bool lock) noexcept;
long LiveObjects() noexcept;
bool CanUnloadModule() noexcept;

}  // namespace com
