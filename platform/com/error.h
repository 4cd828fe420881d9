#pragma once
// VB's run-time errors across automation. A VB error nn travels as
// DISP_E_EXCEPTION with EXCEPINFO.scode 0x800A00nn (FACILITY_CONTROL), the
// way the IDE and every VB component raise it; a number that is an HRESULT
// already (vbObjectError + n, the disconnected object's 0x80010108) travels
// as itself. Nothing else crosses: Guard turns every C++ exception into an
// HRESULT at the edge of a COM method.

#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/vb_error.h"

namespace com {

// The scode that carries VB error `number`, and back.
HRESULT ScodeOfVbError(std::int32_t number);
std::int32_t VbErrorOfScode(HRESULT scode);

// Throws the VbError a failed call means: the EXCEPINFO's error for
// DISP_E_EXCEPTION, 438 for a member the object lacks, 449/450/13 for
// missing, miscounted and mistyped arguments, the HRESULT itself otherwise.
// `member` names the call in the error's source when the callee gave none.
[[noreturn]] void ThrowCallFailure(HRESULT hr, EXCEPINFO& info, const std::wstring& member);

// Fills `info` (when given) for `error` and answers DISP_E_EXCEPTION; with
// no EXCEPINFO to fill answers the error's scode.
HRESULT ReportToCaller(const vb::VbError& error, EXCEPINFO* info);

// Runs `body` and answers its HRESULT; a vb::VbError becomes an exception
// reported through `info` and any other exception E_FAIL (E_OUTOFMEMORY for
// std::bad_alloc), so no C++ exception leaves a COM method.
HRESULT Guard(EXCEPINFO* info, const std::function<HRESULT()>& body) noexcept;

// The same for methods without EXCEPINFO (the v-table of the add-in
// interface): a VbError also goes to the thread's error object
// (SetErrorInfo), where the IDE reads its description.
HRESULT GuardWithErrorInfo(REFIID iid, const std::function<void()>& body) noexcept;

}  // namespace com
