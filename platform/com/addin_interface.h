#pragma once
// The interface the IDE calls on an add-in's Connect object: dual (v-table
// and IDispatch), methods in this order with DISPIDs 1 to 5.

#include <oaidl.h>

namespace com {

// {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}
inline constexpr IID IID_IDTExtensibility2 = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

struct IDTExtensibility2 : public IDispatch {
    virtual HRESULT __stdcall OnConnection(IDispatch* Application, LONG ConnectMode, IDispatch* AddInInst,
                                           SAFEARRAY** custom) = 0;
    virtual HRESULT __stdcall OnDisconnection(LONG RemoveMode, SAFEARRAY** custom) = 0;
    virtual HRESULT __stdcall OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT __stdcall OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT __stdcall OnBeginShutdown(SAFEARRAY** custom) = 0;
};

// The members' names, in DISPID order from 1.
inline constexpr const wchar_t* kExtensibilityMembers[] = {
    L"OnConnection", L"OnDisconnection", L"OnAddInsUpdate", L"OnStartupComplete", L"OnBeginShutdown"};

}  // namespace com
