#include "ui/win32/grid_access.h"

#include <oleacc.h>
#include <string.h>

#include "core/texts.h"
#include "platform/text.h"
#include "ui/accesible.h"
#include "ui/win32/grid_view.h"

namespace win {

namespace {

// Our own copies: mingw-w64's IID_IAccessible is an import thunk's bytes.
const GUID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID kIidDispatch = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool SameGuid(REFIID a, const GUID& b) { return memcmp(&a, &b, sizeof b) == 0; }

void SetChild(VARIANT* v, LONG child) {
  v->vt = VT_I4;
  v->lVal = child;
}

}  // namespace

class GridAccessible final : public IAccessible {
 public:
  explicit GridAccessible(GridView* view) : refs_(1), view_(view) {}
  void Disconnect() { view_ = 0; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = 0;
    if (!SameGuid(riid, kIidAccessible) && !SameGuid(riid, kIidDispatch) &&
        !SameGuid(riid, kIidUnknown))
      return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }

  // Readers call IAccessible's methods directly; no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    *parent = 0;
    typedef HRESULT(WINAPI * FromWindowFn)(HWND, DWORD, REFIID, void**);
    FromWindowFn from = SystemFunction<FromWindowFn>("oleacc.dll", "AccessibleObjectFromWindow");
    if (!view_) return CO_E_OBJNOTCONNECTED;
    return from ? from(view_->hwnd(), OBJID_WINDOW, kIidDispatch, reinterpret_cast<void**>(parent))
                : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!view_) return CO_E_OBJNOTCONNECTED;
    *count = acc::Hijos(view_->grid());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    *out = 0;  // rows are simple children, with no object of their own
    return Check(child);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    *name = 0;
    const HRESULT ok = Check(child);
    if (ok != S_OK) return ok;
    return Text(child.lVal ? acc::Nombre(view_->grid(), child.lVal) : std::string(txt::kLabel1),
                name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Nothing(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Nothing(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    const HRESULT ok = Check(child);
    if (ok == S_OK) SetChild(role, child.lVal ? ROLE_SYSTEM_LISTITEM : ROLE_SYSTEM_LIST);
    return ok;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT ok = Check(child);
    if (ok != S_OK) return ok;
    const bool focused = GetFocus() == view_->hwnd();
    SetChild(state, child.lVal ? acc::Estado(view_->grid(), child.lVal, focused)
                               : STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return Nothing(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    *file = 0;
    *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return Nothing(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!view_) return CO_E_OBJNOTCONNECTED;
    focus->vt = VT_EMPTY;
    if (GetFocus() != view_->hwnd()) return S_FALSE;
    SetChild(focus, CurrentChild());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!view_) return CO_E_OBJNOTCONNECTED;
    selection->vt = VT_EMPTY;
    if (!CurrentChild()) return S_FALSE;
    SetChild(selection, CurrentChild());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Nothing(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    const HRESULT ok = Check(child);
    if (ok != S_OK || !child.lVal || !(flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)))
      return ok == S_OK ? E_INVALIDARG : ok;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(view_->hwnd());
    view_->SelectRow(acc::FilaDeHijo(view_->grid(), child.lVal));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    const HRESULT ok = Check(child);
    if (ok != S_OK) return ok;
    RECT rect;
    GetClientRect(view_->hwnd(), &rect);
    if (child.lVal) rect = view_->RowRect(acc::FilaDeHijo(view_->grid(), child.lVal));
    MapWindowPoints(view_->hwnd(), 0, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    end->vt = VT_EMPTY;
    const HRESULT ok = Check(start);
    if (ok != S_OK) return ok;
    const LONG count = acc::Hijos(view_->grid());
    LONG to = 0;
    if (!start.lVal && direction == NAVDIR_FIRSTCHILD) to = 1;
    if (!start.lVal && direction == NAVDIR_LASTCHILD) to = count;
    if (start.lVal && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) to = start.lVal + 1;
    if (start.lVal && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) to = start.lVal - 1;
    if (to < 1 || to > count) return S_FALSE;
    SetChild(end, to);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (!view_) return CO_E_OBJNOTCONNECTED;
    child->vt = VT_EMPTY;
    POINT at = {x, y};
    RECT client;
    ScreenToClient(view_->hwnd(), &at);
    GetClientRect(view_->hwnd(), &client);
    if (!PtInRect(&client, at)) return S_FALSE;
    const int32_t row = view_->RowAt(at.x, at.y);
    SetChild(child, row < 0 ? CHILDID_SELF : row - view_->grid().FixedRows() + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  // S_OK for the list itself (0) or one of its rows.
  HRESULT Check(const VARIANT& child) const {
    if (!view_) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > acc::Hijos(view_->grid()))
      return E_INVALIDARG;
    return S_OK;
  }
  HRESULT Nothing(const VARIANT& child, BSTR* text) const {
    *text = 0;
    const HRESULT ok = Check(child);
    return ok == S_OK ? S_FALSE : ok;
  }
  LONG CurrentChild() const {
    const Grid& grid = view_->grid();
    return grid.Rows() > grid.FixedRows() ? grid.Row() - grid.FixedRows() + 1 : 0;
  }
  static HRESULT Text(const std::string& ansi, BSTR* out) {
    typedef BSTR(WINAPI * AllocFn)(const OLECHAR*, UINT);
    AllocFn alloc = SystemFunction<AllocFn>("oleaut32.dll", "SysAllocStringLen");
    const std::string wide = plat::WideFromAnsi(ansi);
    *out = alloc ? alloc(reinterpret_cast<const OLECHAR*>(wide.data()),
                         static_cast<UINT>(plat::WideUnits(wide)))
                 : 0;
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  ULONG refs_;
  GridView* view_;
};

GridAccessible* NewAccessible(GridView* view) { return new GridAccessible(view); }

void ReleaseAccessible(GridAccessible* accessible) {
  accessible->Disconnect();
  accessible->Release();
}

LRESULT AnswerGetObject(GridAccessible* accessible, WPARAM wParam) {
  typedef HRESULT(WINAPI * InitFn)(void*);
  typedef LRESULT(WINAPI * FromObjectFn)(REFIID, WPARAM, IUnknown*);
  // Handing the object to another process goes through COM on this thread.
  static bool comStarted = false;
  if (!comStarted) {
    InitFn init = SystemFunction<InitFn>("ole32.dll", "CoInitialize");
    comStarted = init && SUCCEEDED(init(0));
  }
  FromObjectFn from = SystemFunction<FromObjectFn>("oleacc.dll", "LresultFromObject");
  return from ? from(kIidAccessible, wParam, accessible) : 0;
}

void NotifyEvent(HWND hwnd, DWORD event, LONG child) {
  typedef void(WINAPI * NotifyFn)(DWORD, HWND, LONG, LONG);
  NotifyFn notify = SystemFunction<NotifyFn>("user32.dll", "NotifyWinEvent");
  if (notify) notify(event, hwnd, OBJID_CLIENT, child);
}

}  // namespace win
