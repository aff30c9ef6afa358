// The control gallery: one window skinned as the tool's, holding one control of every class the
// skin dresses, for looking at the skin and for the tests that click and type into it. Built with
// the project, never shipped.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/skin_setup.h"
#include "graphics/images.h"
#include "resources/embedded_pictures.h"
#include "runtime/win_handles.h"
#include "tools/gallery/gallery_layout.h"

namespace {

constexpr int32_t kControlWashAlpha = 300;  // as the tool's start-up gives it

LRESULT CALLBACK GalleryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow() {
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = GalleryProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = L"ControlGallery";
  if (!RegisterClassW(&windowClass)) return nullptr;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kGalleryWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kGalleryHeight) / 2;
  return CreateWindowExW(0, windowClass.lpszClassName, kGalleryTitle, WS_POPUP | WS_MINIMIZEBOX | WS_CLIPCHILDREN, x, y,
                         kGalleryWidth, kGalleryHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
}

HWND MakeControl(HWND parent, const GalleryControl& control) {
  return CreateWindowExW(control.exStyle, control.className, control.text, WS_CHILD | WS_VISIBLE | control.style,
                         control.place.left, control.place.top, control.place.right - control.place.left,
                         control.place.bottom - control.place.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), GetModuleHandleW(nullptr), nullptr);
}

void Fill(HWND (&made)[std::size(kGalleryControls)], HBITMAP banner) {
  auto at = [&](int id) -> HWND {
    for (size_t i = 0; i < std::size(kGalleryControls); ++i)
      if (kGalleryControls[i].id == id) return made[i];
    return nullptr;
  };
  for (const wchar_t* item : {L"体验服", L"正服", L"测试服"}) {
    SendMessageW(at(kComboId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(at(kEditComboId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(at(kListBoxId), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageW(at(kComboId), CB_SETCURSEL, 0, 0);
  SendMessageW(at(kListBoxId), LB_SETCURSEL, 1, 0);

  HWND view = at(kListViewId);
  LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH};
  column.cx = 70;
  column.pszText = const_cast<wchar_t*>(L"文件");
  SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  column.cx = 56;
  column.pszText = const_cast<wchar_t*>(L"大小");
  SendMessageW(view, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
  int row = 0;
  for (const wchar_t* name : {L"VER.ini", L"WorldDef.ini"}) {
    LVITEMW item{LVIF_TEXT};
    item.iItem = row++;
    item.pszText = const_cast<wchar_t*>(name);
    SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }

  HWND tree = at(kTreeViewId);
  TVINSERTSTRUCTW insert{};
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<wchar_t*>(L"服务器");
  const auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  insert.hParent = root;
  for (const wchar_t* name : {L"体验服", L"正服"}) {
    insert.item.pszText = const_cast<wchar_t*>(name);
    SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
  }
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));

  SendMessageW(at(kIpAddressId), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 0, 2, 18));
  SendMessageW(at(kTrackBarId), TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendMessageW(at(kTrackBarId), TBM_SETPOS, TRUE, 4);
  SendMessageW(at(kProgressId), PBM_SETRANGE32, 0, 100);
  SendMessageW(at(kProgressId), PBM_SETPOS, kProgressPosition, 0);
  SendMessageW(at(kUpDownId), UDM_SETBUDDY, reinterpret_cast<WPARAM>(at(kBuddyId)), 0);
  SendMessageW(at(kUpDownId), UDM_SETRANGE32, 0, 99);
  SendMessageW(at(kUpDownId), UDM_SETPOS32, 0, 5);
  SendMessageW(at(kPictureId), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner));

  TCITEMW tab{TCIF_TEXT};
  for (const wchar_t* name : {L"第一页", L"第二页"}) {
    tab.pszText = const_cast<wchar_t*>(name);
    SendMessageW(at(kTabId), TCM_INSERTITEMW, TabCtrl_GetItemCount(at(kTabId)), reinterpret_cast<LPARAM>(&tab));
  }
}

int RunGallery() {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES |
                                                          ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  if (!InitCommonControlsEx(&classes)) return 1;
  auto engine = std::make_unique<SkinEngine>();
  InitProgramGlobals(*engine);
  HWND window = MakeWindow();
  if (!window) return 1;

  OwnedFont font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
  OwnedBitmap banner;
  {
    Bitmap picture;
    if (picture.LoadFromBytes(BannerJpeg)) banner.reset(picture.GetHbitmap(0xFF000000));
  }
  HWND made[std::size(kGalleryControls)] = {};
  for (size_t i = 0; i < std::size(kGalleryControls); ++i) {
    const GalleryControl& control = kGalleryControls[i];
    HWND parent = window;
    for (size_t j = 0; j < i; ++j)
      if (kGalleryControls[j].id == control.parentId) parent = made[j];
    made[i] = MakeControl(parent, control);
    SendMessageW(made[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  }
  Fill(made, banner.get());

  // The skin as the tool's start-up puts it on: the window, then its containers and statics.
  SkinToolWindow(*engine, window, SkinBackgroundJpeg, kControlWashAlpha);
  for (size_t i = 0; i < std::size(kGalleryControls); ++i) {
    if (kGalleryControls[i].skin == GallerySkin::kContainer) engine->SkinContainer(made[i]);
    if (kGalleryControls[i].skin == GallerySkin::kStatic) engine->SkinStaticControl(made[i]);
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The engine goes while the system libraries it calls are loaded, and before the GDI objects
  // the gone controls used.
  engine.reset();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunGallery(); }
