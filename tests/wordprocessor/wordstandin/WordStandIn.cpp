// A stand-in for the word processor's automation server, for the tests of the COM backend: an
// in-process server registered under the class name "Word.Application" that answers exactly the
// members the backend calls, through IDispatch, and writes each call to a log with the type of
// every argument as it arrived. A test loads the same DLL to script it (a member that fails, an
// instance that is already shown, a running instance) and to read the log.
//
// Plain Win32 and COM, no Qt: the server must not depend on what it tests.

#include "WordStandIn.h"

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The stand-in's own class, not the word processor's.
const CLSID standInClass = {
    0x6d1c7a52, 0x3f0b, 0x4c8e, {0x9a, 0x61, 0x2b, 0x57, 0xd4, 0x0e, 0x91, 0x3c}};
const IID iidApplication = {
    0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID iidDocuments = {
    0x0002096C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID iidDocument = {
    0x0002096B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HMODULE module = nullptr;
std::wstring callLog;
std::wstring failingCall;
bool shownAtStart = false;
long liveObjects = 0;
IDispatch *runningInstance = nullptr;
DWORD runningCookie = 0;

std::wstring argumentText(const VARIANT &argument)
{
    switch (argument.vt) {
    case VT_ERROR:
        return argument.scode == DISP_E_PARAMNOTFOUND ? L"missing" : L"error";
    case VT_BSTR:
        return L'"' + std::wstring(argument.bstrVal, SysStringLen(argument.bstrVal)) + L'"';
    case VT_BYREF | VT_BSTR:
        return L"&\"" + std::wstring(*argument.pbstrVal, SysStringLen(*argument.pbstrVal)) + L'"';
    case VT_I4:
        return L"int32 " + std::to_wstring(argument.lVal);
    case VT_BOOL:
        // Automation's true is -1; anything else is written as the number it is.
        if (argument.boolVal == VARIANT_TRUE || argument.boolVal == VARIANT_FALSE)
            return argument.boolVal ? L"true" : L"false";
        return L"bool " + std::to_wstring(argument.boolVal);
    default:
        return L"type " + std::to_wstring(argument.vt);
    }
}

// The bytes of the file that a call's first argument names, as the log shows them: printable
// ASCII as it is, everything else as \xNN.
std::wstring fileText(const DISPPARAMS &parameters)
{
    const VARIANT *path = parameters.cArgs ? &parameters.rgvarg[parameters.cArgs - 1] : nullptr;
    const BSTR name = !path                              ? nullptr
                      : path->vt == (VT_BYREF | VT_BSTR) ? *path->pbstrVal
                      : path->vt == VT_BSTR              ? path->bstrVal
                                                         : nullptr;
    if (!name)
        return L"no path";
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return L"unreadable";
    std::wstring text;
    for (auto c = std::istreambuf_iterator<char>(file); c != std::istreambuf_iterator<char>();
         ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte >= 0x20 && byte < 0x7f) {
            text += wchar_t(byte);
            continue;
        }
        wchar_t escaped[8];
        std::swprintf(escaped, 8, L"\\x%02X", byte);
        text += escaped;
    }
    return text;
}

// Logs the call and says whether the script makes it fail.
bool logCall(const std::wstring &entry)
{
    callLog += entry + L'\n';
    return !failingCall.empty() && entry.compare(0, failingCall.size(), failingCall) == 0;
}

HRESULT scriptedFailure(EXCEPINFO *exception)
{
    if (exception) {
        *exception = {};
        exception->bstrSource = SysAllocString(L"Stand-in");
        exception->bstrDescription =
            SysAllocString((L"The stand-in was told to fail at " + failingCall + L'.').c_str());
        exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

enum class Kind { Application, Documents, Document };
const wchar_t *const kindNames[] = {L"Application", L"Documents", L"Document"};

struct Member
{
    const wchar_t *name;
    DISPID id;
    Kind owner;
    bool property;
};
const Member members[] = {{L"Name", DISPID_VALUE, Kind::Application, true},
                          {L"Documents", 1, Kind::Application, true},
                          {L"DisplayAlerts", 2, Kind::Application, true},
                          {L"Visible", 3, Kind::Application, true},
                          {L"Quit", 4, Kind::Application, false},
                          {L"Open", 5, Kind::Documents, false},
                          {L"Merge", 6, Kind::Document, false},
                          {L"Close", 7, Kind::Document, false}};

class StandInObject final : public IDispatch
{
public:
    StandInObject(Kind kind, std::wstring name = L"Microsoft Word") : kind_(kind), name_(name)
    {
        ++liveObjects;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        const IID &own = kind_ == Kind::Application ? iidApplication
                         : kind_ == Kind::Documents ? iidDocuments
                                                    : iidDocument;
        if (!object)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != own) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<IDispatch *>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) {
            logCall(std::wstring(L"release ") + kindNames[int(kind_)]);
            --liveObjects;
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID,
                                            DISPID *ids) override
    {
        ids[0] = DISPID_UNKNOWN;
        for (const Member &member : members) {
            if (count == 1 && _wcsicmp(member.name, names[0]) == 0)
                ids[0] = member.id;
        }
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *parameters,
                                     VARIANT *result, EXCEPINFO *exception, UINT *) override
    {
        if (!parameters)
            return E_INVALIDARG;
        const bool put = flags & DISPATCH_PROPERTYPUT;
        // A property put names its value as the property's, as IDispatch's rules require.
        if (put &&
            (parameters->cNamedArgs != 1 || parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            return DISP_E_PARAMNOTOPTIONAL;
        if (!put && parameters->cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        const Member *member =
            std::find_if(std::begin(members), std::end(members),
                         [&](const Member &m) { return m.id == id && m.owner == kind_; });
        const WORD allowed = member == std::end(members) ? 0
                             : member->property ? DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT
                                                : DISPATCH_METHOD;
        if (!(flags & allowed))
            return DISP_E_MEMBERNOTFOUND;
        // The arguments arrive last first.
        std::wstring arguments;
        for (UINT i = parameters->cArgs; i-- > 0;)
            arguments += argumentText(parameters->rgvarg[i]) + (i ? L", " : L"");
        if (result)
            VariantInit(result);
        const std::wstring call = member->property ? (put ? L"put " : L"get ") : L"";
        const bool withArguments = !member->property || put;
        if (logCall(call + member->name + (withArguments ? L'(' + arguments + L')' : L"")))
            return scriptedFailure(exception);

        if (put)
            return putProperty(id, parameters->rgvarg[0]);
        if (member->property && !result)
            return E_INVALIDARG;
        switch (id) {
        case DISPID_VALUE:
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(name_.c_str());
            return S_OK;
        case 1:
            return object(Kind::Documents, result);
        case 2:
            result->vt = VT_I4;
            result->lVal = alerts_;
            return S_OK;
        case 3:
            result->vt = VT_BOOL;
            result->boolVal = visible_ ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case 5:
            logCall(L"text 1: " + fileText(*parameters));
            return object(Kind::Document, result);
        case 6:
            logCall(L"text 2: " + fileText(*parameters));
            return S_OK;
        default: // Quit and Close
            return S_OK;
        }
    }

private:
    HRESULT putProperty(DISPID id, const VARIANT &value)
    {
        if (id == 2 && value.vt == VT_I4)
            alerts_ = value.lVal;
        else if (id == 3 && value.vt == VT_BOOL)
            visible_ = value.boolVal != VARIANT_FALSE;
        else
            return DISP_E_TYPEMISMATCH;
        return S_OK;
    }

    static HRESULT object(Kind kind, VARIANT *result)
    {
        if (!result)
            return E_INVALIDARG;
        result->vt = VT_DISPATCH;
        result->pdispVal = new StandInObject(kind);
        return S_OK;
    }

    ULONG references_ = 1;
    Kind kind_;
    std::wstring name_;
    // A level that is neither all nor none, so that putting the old level back shows.
    long alerts_ = -2;
    bool visible_ = shownAtStart;
};

class Factory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (logCall(L"create"))
            return CO_E_SERVER_EXEC_FAILURE;
        auto *application = new StandInObject(Kind::Application);
        const HRESULT found = application->QueryInterface(iid, object);
        application->Release();
        return found;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

std::wstring classKey()
{
    wchar_t text[40];
    StringFromGUID2(standInClass, text, 40);
    return L"CLSID\\" + std::wstring(text);
}

LSTATUS setValue(const std::wstring &key, const wchar_t *name, const std::wstring &value)
{
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        module = instance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID id, REFIID iid, void **object)
{
    if (id != standInClass)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow()
{
    return S_FALSE;
}

// Registers the stand-in as "Word.Application", machine-wide as regsvr32 would: Wine reads
// classes from the machine's part of the registry only.
STDAPI DllRegisterServer()
{
    wchar_t path[MAX_PATH];
    if (!GetModuleFileNameW(module, path, MAX_PATH))
        return HRESULT_FROM_WIN32(GetLastError());
    wchar_t id[40];
    StringFromGUID2(standInClass, id, 40);
    const std::wstring server = classKey() + L"\\InprocServer32";
    const LSTATUS failed = setValue(L"Word.Application\\CLSID", nullptr, id) ||
                           setValue(server, nullptr, path) ||
                           setValue(server, L"ThreadingModel", L"Apartment");
    return failed ? E_FAIL : S_OK;
}

STDAPI DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Word.Application");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey().c_str());
    return S_OK;
}

void standInReset(const wchar_t *failAt, int shown)
{
    callLog.clear();
    failingCall = failAt ? failAt : L"";
    shownAtStart = shown != 0;
}

int standInLog(wchar_t *buffer, int size)
{
    if (buffer && size > 0)
        wcsncpy(buffer, callLog.c_str(), std::size_t(size));
    return int(callLog.size()) + 1;
}

long standInLiveObjects()
{
    return liveObjects;
}

long standInSetRunning(const wchar_t *name)
{
    if (runningInstance) {
        RevokeActiveObject(runningCookie, nullptr);
        runningInstance->Release();
        runningInstance = nullptr;
    }
    if (!name)
        return S_OK;
    runningInstance = new StandInObject(Kind::Application, name);
    return RegisterActiveObject(runningInstance, standInClass, ACTIVEOBJECT_STRONG, &runningCookie);
}
