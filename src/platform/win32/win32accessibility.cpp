#include "platform/win32/win32accessibility.h"

#include <atomic>
#include <new>
#include <utility>

namespace win32platform {

namespace {

template<typename Function>
Function entry(HMODULE module, const char *name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

// The system's strings for COM, from OLE Automation, loaded once the
// first is needed: the program starts without the libraries of COM.
struct BstrEntries
{
    BSTR(WINAPI *allocate)(const OLECHAR *, UINT) = nullptr;
    void(WINAPI *free)(BSTR) = nullptr;
};

const BstrEntries &bstrEntries()
{
    static const BstrEntries entries = [] {
        const HMODULE module = LoadLibraryExW(L"oleaut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        BstrEntries loaded;
        loaded.allocate = entry<decltype(loaded.allocate)>(module, "SysAllocStringLen");
        loaded.free = entry<decltype(loaded.free)>(module, "SysFreeString");
        return loaded;
    }();
    return entries;
}

BSTR allocateBstr(const std::wstring &text)
{
    const BstrEntries &entries = bstrEntries();
    return entries.allocate ? entries.allocate(text.data(), UINT(text.size())) : nullptr;
}

// A string that the callee reads and the caller frees.
class UniqueBstr
{
public:
    explicit UniqueBstr(const std::wstring &text) : m_string(allocateBstr(text)) {}
    ~UniqueBstr()
    {
        if (m_string)
            bstrEntries().free(m_string);
    }
    UniqueBstr(const UniqueBstr &) = delete;
    UniqueBstr &operator=(const UniqueBstr &) = delete;
    BSTR get() const { return m_string; }

private:
    BSTR m_string;
};

bool isSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object for a control, all of it, but for the
// description of the control itself.
class DescribedAccessible final : public IAccessible
{
public:
    DescribedAccessible(IAccessible *system, std::wstring description)
        : m_system(system), m_description(std::move(description))
    {
    }
    DescribedAccessible(const DescribedAccessible &) = delete;
    DescribedAccessible &operator=(const DescribedAccessible &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        // What else the system's object offers (its window, its children
        // enumerated) it answers itself.
        return m_system->QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return m_system->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return m_system->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override
    {
        return m_system->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
                                     VARIANT *result, EXCEPINFO *exception, UINT *argumentError) override
    {
        return m_system->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        if (!isSelf(child) || m_description.empty())
            return m_system->get_accDescription(child, description);
        if (!description)
            return E_POINTER;
        *description = allocateBstr(m_description);
        return *description ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override { return m_system->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override { return m_system->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return m_system->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return m_system->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return m_system->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        return m_system->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        return m_system->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return m_system->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override
    {
        return m_system->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return m_system->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override { return m_system->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        return m_system->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return m_system->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return m_system->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height, VARIANT child) override
    {
        return m_system->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        return m_system->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT *child) override
    {
        return m_system->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return m_system->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_system->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_system->put_accValue(child, value);
    }

private:
    ~DescribedAccessible() { m_system->Release(); }

    IAccessible *m_system;
    std::wstring m_description;
    std::atomic<ULONG> m_references = 1;
};

// The system's accessibility, loaded once a client first asks for an object.
struct OleAccEntries
{
    HRESULT(WINAPI *createStdAccessibleObject)(HWND, LONG, REFIID, void **) = nullptr;
    LRESULT(WINAPI *lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
};

OleAccEntries loadOleAcc()
{
    OleAccEntries entries;
    const HMODULE module = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    entries.createStdAccessibleObject =
        entry<decltype(entries.createStdAccessibleObject)>(module, "CreateStdAccessibleObject");
    entries.lresultFromObject = entry<decltype(entries.lresultFromObject)>(module, "LresultFromObject");
    return entries;
}

} // namespace

UiAutomationEntries loadUiAutomation()
{
    // From the system's folder only, never one a file beside the program
    // could stand in for. Once loaded, it stays for the process.
    const HMODULE module = LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    UiAutomationEntries entries;
    entries.hostProviderFromHwnd = entry<UiAutomationEntries::HostProviderFromHwnd>(module, "UiaHostProviderFromHwnd");
    entries.raiseNotificationEvent =
        entry<UiAutomationEntries::RaiseNotificationEvent>(module, "UiaRaiseNotificationEvent");
    return entries;
}

void raiseNotification(const UiAutomationEntries &entries, HWND window, const std::wstring &text)
{
    if (!entries.hostProviderFromHwnd || !entries.raiseNotificationEvent)
        return;
    IRawElementProviderSimple *provider = nullptr;
    if (FAILED(entries.hostProviderFromHwnd(window, &provider)) || !provider)
        return;
    const UniqueBstr displayString(text);
    const UniqueBstr activity(NotificationActivity);
    entries.raiseNotificationEvent(provider, NotificationKindOther, NotificationProcessingImportantAll,
                                   displayString.get(), activity.get());
    provider->Release();
}

LRESULT describedObject(HWND control, WPARAM wParam, std::wstring description)
{
    static const OleAccEntries oleAcc = loadOleAcc();
    if (!oleAcc.createStdAccessibleObject || !oleAcc.lresultFromObject)
        return 0;
    IAccessible *system = nullptr;
    if (FAILED(oleAcc.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void **>(&system)))
        || !system)
        return 0;
    auto *described = new (std::nothrow) DescribedAccessible(system, std::move(description));
    if (!described) {
        system->Release();
        return 0;
    }
    const LRESULT result =
        oleAcc.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible *>(described));
    described->Release();
    return result;
}

} // namespace win32platform
