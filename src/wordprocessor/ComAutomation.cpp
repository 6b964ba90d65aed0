// Microsoft Word through COM automation. Each object is asked for the typed interface of its
// class (Application, Documents, Document); the members are then called through the dispatch
// part of those dual interfaces. The running-instance test reads the default member through the
// generic IDispatch.
//
// Free of Qt: the Linux build checks this file with a cross compiler that has no Qt headers.

#include "wordprocessor/SystemAutomation.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "COM strings are UTF-16");

const IID iidWordApplication = {
    0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID iidWordDocuments = {
    0x0002096C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID iidWordDocument = {
    0x0002096B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Holds one reference to a COM object and releases it.
template <typename Interface> class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(ComPtr &&other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr &operator=(ComPtr &&other) noexcept
    {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ~ComPtr() { reset(); }

    void reset()
    {
        if (object_)
            std::exchange(object_, nullptr)->Release();
    }
    Interface *get() const { return object_; }
    Interface **put()
    {
        reset();
        return &object_;
    }

private:
    Interface *object_ = nullptr;
};

std::string utf8(const wchar_t *text, int length)
{
    if (!text || length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(std::size_t(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::string systemMessage(HRESULT result)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(result), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::string message = utf8(buffer, int(length));
    LocalFree(buffer);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return message.empty() ? std::string("error ") + code : message + " (" + code + ")";
}

[[noreturn]] void fail(const std::string &what, HRESULT result)
{
    throw AutomationError(what + ": " + systemMessage(result));
}

const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

BSTR allocate(const std::u16string &text)
{
    return SysAllocStringLen(wide(text), UINT(text.size()));
}

// A VARIANT that frees what it holds.
struct Variant
{
    Variant() { VariantInit(&value); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
    ~Variant() { VariantClear(&value); }

    VARIANT value;
};

// The arguments of one call as VARIANTs, in the order IDispatch::Invoke wants: last first.
class Arguments
{
public:
    template <std::size_t n> explicit Arguments(const std::array<AutomationArgument, n> &arguments)
    {
        variants_.resize(n);
        // Strings passed by reference live here; their addresses must not move.
        referenced_.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            set(variants_[n - 1 - i], arguments[i]);
    }
    Arguments() = default;
    Arguments(const Arguments &) = delete;
    Arguments &operator=(const Arguments &) = delete;
    ~Arguments()
    {
        for (VARIANT &variant : variants_)
            VariantClear(&variant);
        for (BSTR text : referenced_)
            SysFreeString(text);
    }

    VARIANT *data() { return variants_.empty() ? nullptr : variants_.data(); }
    UINT count() const { return UINT(variants_.size()); }

private:
    void set(VARIANT &variant, const AutomationArgument &argument)
    {
        VariantInit(&variant);
        switch (argument.kind) {
        case AutomationArgument::Kind::Missing:
            variant.vt = VT_ERROR;
            variant.scode = DISP_E_PARAMNOTFOUND;
            break;
        case AutomationArgument::Kind::String:
            variant.vt = VT_BSTR;
            variant.bstrVal = allocate(argument.text);
            break;
        case AutomationArgument::Kind::StringByReference:
            referenced_.push_back(allocate(argument.text));
            variant.vt = VT_BYREF | VT_BSTR;
            variant.pbstrVal = &referenced_.back();
            break;
        case AutomationArgument::Kind::Int32:
            variant.vt = VT_I4;
            variant.lVal = argument.number;
            break;
        case AutomationArgument::Kind::Boolean:
            variant.vt = VT_BOOL;
            variant.boolVal = argument.flag ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        }
    }

    std::vector<VARIANT> variants_;
    std::vector<BSTR> referenced_;
};

void invokeMember(IDispatch *object, DISPID member, const char *name, WORD kind,
                  Arguments &arguments, VARIANT *result)
{
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{arguments.data(), nullptr, arguments.count(), 0};
    if (kind == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &namedPut;
        parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT outcome = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                                           result, &exception, &badArgument);
    if (SUCCEEDED(outcome))
        return;
    if (outcome == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn)
            exception.pfnDeferredFillIn(&exception);
        std::string description =
            utf8(exception.bstrDescription, int(SysStringLen(exception.bstrDescription)));
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (!description.empty())
            throw AutomationError(std::string("Word's ") + name + " failed: " + description);
        fail(std::string("Word's ") + name + " failed",
             exception.scode ? exception.scode : outcome);
    }
    fail(std::string("Word's ") + name + " failed", outcome);
}

void invoke(IDispatch *object, const wchar_t *member, const char *name, WORD kind,
            Arguments &arguments, VARIANT *result)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found))
        fail(std::string("Word has no member ") + name, found);
    invokeMember(object, id, name, kind, arguments, result);
}

ComPtr<IDispatch> query(IUnknown *object, const IID &iid, const char *what)
{
    ComPtr<IDispatch> typed;
    const HRESULT found = object->QueryInterface(iid, reinterpret_cast<void **>(typed.put()));
    if (FAILED(found))
        fail(std::string("Word did not give its ") + what + " interface", found);
    return typed;
}

ComPtr<IDispatch> objectResult(VARIANT &result, const IID &iid, const char *what)
{
    if (result.vt != VT_DISPATCH || !result.pdispVal)
        throw AutomationError(std::string("Word returned no ") + what + '.');
    return query(result.pdispVal, iid, what);
}

class ComDocument : public AutomationDocument
{
public:
    explicit ComDocument(ComPtr<IDispatch> document) : document_(std::move(document)) {}

    void merge(const std::array<AutomationArgument, 5> &arguments) override
    {
        Arguments converted(arguments);
        Variant ignored;
        invoke(document_.get(), L"Merge", "Merge", DISPATCH_METHOD, converted, &ignored.value);
    }
    void close(const std::array<AutomationArgument, 3> &arguments) override
    {
        Arguments converted(arguments);
        Variant ignored;
        invoke(document_.get(), L"Close", "Close", DISPATCH_METHOD, converted, &ignored.value);
    }

private:
    ComPtr<IDispatch> document_;
};

class ComDocuments : public AutomationDocuments
{
public:
    explicit ComDocuments(ComPtr<IDispatch> documents) : documents_(std::move(documents)) {}

    std::unique_ptr<AutomationDocument>
    open(const std::array<AutomationArgument, 16> &arguments) override
    {
        Arguments converted(arguments);
        Variant document;
        invoke(documents_.get(), L"Open", "Open", DISPATCH_METHOD, converted, &document.value);
        return std::make_unique<ComDocument>(
            objectResult(document.value, iidWordDocument, "document"));
    }

private:
    ComPtr<IDispatch> documents_;
};

class ComApplication : public AutomationApplication
{
public:
    explicit ComApplication(ComPtr<IDispatch> application) : application_(std::move(application)) {}

    std::unique_ptr<AutomationDocuments> documents() override
    {
        Arguments none;
        Variant documents;
        invoke(application_.get(), L"Documents", "Documents", DISPATCH_PROPERTYGET, none,
               &documents.value);
        return std::make_unique<ComDocuments>(
            objectResult(documents.value, iidWordDocuments, "documents collection"));
    }

    std::int32_t displayAlerts() override
    {
        Variant level;
        read(L"DisplayAlerts", "DisplayAlerts", VT_I4, "a number", level);
        return level.value.lVal;
    }

    void setDisplayAlerts(std::int32_t level) override
    {
        Arguments value(std::array<AutomationArgument, 1>{AutomationArgument::int32(level)});
        invoke(application_.get(), L"DisplayAlerts", "DisplayAlerts", DISPATCH_PROPERTYPUT, value,
               nullptr);
    }

    bool visible() override
    {
        Variant shown;
        read(L"Visible", "Visible", VT_BOOL, "a Boolean", shown);
        return shown.value.boolVal != VARIANT_FALSE;
    }

    void setVisible(bool visible) override
    {
        Arguments value(std::array<AutomationArgument, 1>{AutomationArgument::boolean(visible)});
        invoke(application_.get(), L"Visible", "Visible", DISPATCH_PROPERTYPUT, value, nullptr);
    }

    void quit(const std::array<AutomationArgument, 3> &arguments) override
    {
        Arguments converted(arguments);
        Variant ignored;
        invoke(application_.get(), L"Quit", "Quit", DISPATCH_METHOD, converted, &ignored.value);
    }

    std::u16string name() override
    {
        Arguments none;
        Variant name;
        invokeMember(application_.get(), DISPID_VALUE, "Name", DISPATCH_PROPERTYGET, none,
                     &name.value);
        if (name.value.vt != VT_BSTR)
            throw AutomationError("Word's name is not text.");
        return std::u16string(reinterpret_cast<const char16_t *>(name.value.bstrVal),
                              SysStringLen(name.value.bstrVal));
    }

private:
    // Reads a property into value as the given type, which typeName names for a message.
    void read(const wchar_t *member, const char *name, VARTYPE type, const char *typeName,
              Variant &value)
    {
        Arguments none;
        invoke(application_.get(), member, name, DISPATCH_PROPERTYGET, none, &value.value);
        const HRESULT converted = VariantChangeType(&value.value, &value.value, 0, type);
        if (FAILED(converted))
            fail(std::string("Word's ") + name + " is not " + typeName, converted);
    }

    ComPtr<IDispatch> application_;
};

class ComAutomation : public AutomationRegistry
{
public:
    // The user-interface thread is normally a single-threaded apartment already; joining it
    // again only counts up, and the destructor counts down.
    ComAutomation() : initialised_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComAutomation(const ComAutomation &) = delete;
    ComAutomation &operator=(const ComAutomation &) = delete;
    ~ComAutomation() override
    {
        if (SUCCEEDED(initialised_))
            CoUninitialize();
    }

    std::unique_ptr<AutomationApplication> getActiveObject(const std::u16string &className) override
    {
        const CLSID id = classId(className);
        ComPtr<IUnknown> running;
        const HRESULT found = GetActiveObject(id, nullptr, running.put());
        if (FAILED(found))
            fail("No running instance of Word.Application", found);
        return std::make_unique<ComApplication>(query(running.get(), IID_IDispatch, "dispatch"));
    }

    std::unique_ptr<AutomationApplication> createObject(const std::u16string &className) override
    {
        const CLSID id = classId(className);
        ComPtr<IUnknown> created;
        const HRESULT made = CoCreateInstance(id, nullptr, CLSCTX_SERVER, IID_IUnknown,
                                              reinterpret_cast<void **>(created.put()));
        if (FAILED(made))
            fail("Microsoft Word could not be started", made);
        return std::make_unique<ComApplication>(
            query(created.get(), iidWordApplication, "application"));
    }

    std::u16string wordProcessorName() const override { return u"Microsoft Word"; }

private:
    static CLSID classId(const std::u16string &className)
    {
        CLSID id{};
        const HRESULT found = CLSIDFromProgID(wide(className), &id);
        if (FAILED(found))
            fail("Microsoft Word is not installed (no class " +
                     utf8(wide(className), int(className.size())) + ")",
                 found);
        return id;
    }

    HRESULT initialised_;
};

} // namespace

std::unique_ptr<AutomationRegistry> createSystemAutomation()
{
    return std::make_unique<ComAutomation>();
}
