#include "accessible_control.h"

#include <oleacc.h>

namespace quillpad {
namespace {

constexpr wchar_t kFactsProperty[] = L"QuillpadAccessibleFacts";
constexpr wchar_t kProcProperty[] = L"QuillpadAccessibleProc";

// The system's object for the control, with the answers of AccessibleFacts on top. Every
// other question goes to the system's object.
class WrappedAccessible final : public IAccessible {
  public:
    WrappedAccessible(IAccessible* inner, const AccessibleFacts* facts, HWND hwnd)
        : inner_(inner), facts_(facts), hwnd_(hwnd) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
            riid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        return inner_->Invoke(id, riid, lcid, flags, params, result, exception, argError);
    }

    // IAccessible: the answers this wrapper exists for.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (IsSelf(child) && !facts_->name.empty())
            return Answer(facts_->name, name);
        return inner_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (IsSelf(child) && !facts_->description.empty())
            return Answer(facts_->description, text);
        return inner_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (IsSelf(child) && facts_->role != 0 && role != nullptr) {
            role->vt = VT_I4;
            role->lVal = facts_->role;
            return S_OK;
        }
        return inner_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT hr = inner_->get_accState(child, state);
        if (SUCCEEDED(hr) && IsSelf(child) && state != nullptr && state->vt == VT_I4) {
            if (facts_->selectable) {
                // Only the current key's highlight is drawn, but every key is on the picture.
                state->lVal &= ~static_cast<LONG>(STATE_SYSTEM_INVISIBLE);
                state->lVal |= STATE_SYSTEM_SELECTABLE;
                if (facts_->selected)
                    state->lVal |= STATE_SYSTEM_SELECTED | STATE_SYSTEM_CHECKED;
            }
            if (facts_->role == ROLE_SYSTEM_PUSHBUTTON || facts_->role == ROLE_SYSTEM_CHECKBUTTON)
                state->lVal |= STATE_SYSTEM_FOCUSABLE;
            if (facts_->role == ROLE_SYSTEM_CHECKBUTTON && hwnd_ != nullptr &&
                SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED)
                state->lVal |= STATE_SYSTEM_CHECKED;
        }
        return hr;
    }

    // IAccessible: the system's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return inner_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return inner_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return inner_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return inner_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return inner_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return inner_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

  private:
    ~WrappedAccessible() { inner_->Release(); }

    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    static HRESULT Answer(const std::wstring& text, BSTR* out) {
        if (out == nullptr)
            return E_POINTER;
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    IAccessible* inner_;
    const AccessibleFacts* facts_;
    HWND hwnd_;
    LONG refs_ = 1;
};

LRESULT CALLBACK AccessibleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kProcProperty));
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const auto* facts = static_cast<const AccessibleFacts*>(GetPropW(hwnd, kFactsProperty));
        IAccessible* inner = nullptr;
        if (facts != nullptr &&
            SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&inner)))) {
            auto* wrapped = new WrappedAccessible(inner, facts, hwnd);
            const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, wrapped);
            wrapped->Release();
            return result;
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(hwnd, kProcProperty);
        RemovePropW(hwnd, kFactsProperty);
    }
    return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

}  // namespace

void MakeAccessible(HWND control, const AccessibleFacts* facts) {
    if (control == nullptr || GetPropW(control, kProcProperty) != nullptr)
        return;
    SetPropW(control, kFactsProperty, const_cast<AccessibleFacts*>(facts));
    SetPropW(control, kProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrW(control, GWLP_WNDPROC)));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccessibleProc));
}

void AnnounceNameChange(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceDescriptionChange(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceStateChange(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace quillpad
