#include "ui/win32/row_images.h"

#include <shellapi.h>

#include "ui/win32/win32_main_host.h"

namespace uiwin {

namespace {

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }
int SmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }

HICON LoadSmallIcon(HINSTANCE instance, int icon) {
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(icon), IMAGE_ICON,
                                       SmallIconWidth(), SmallIconHeight(), LR_DEFAULTCOLOR));
}

}  // namespace

bool RowImageList::Create(HWND list, HINSTANCE instance) {
  Drop();
  if (!list) return false;
  images_ = ImageList_Create(SmallIconWidth(), SmallIconHeight(), ILC_COLOR32 | ILC_MASK, 8, 8);
  if (!images_) return false;
  list_ = list;
  // The list view must not free the image list itself when it is destroyed: this owner does.
  LONG style = GetWindowLongA(list, GWL_STYLE);
  if (!(style & LVS_SHAREIMAGELISTS)) SetWindowLongA(list, GWL_STYLE, style | LVS_SHAREIMAGELISTS);
  // Image 0 is the default row icon; rows refer to images by index, so it is always there
  // (the program's own icon stands in when the default icon is missing).
  if (AddResourceIcon(instance, kDefaultRowIcon) < 0) AddResourceIcon(instance, 101);
  ListView_SetImageList(list, images_, LVSIL_SMALL);
  return true;
}

void RowImageList::Drop() {
  if (!images_) return;
  if (list_ && IsWindow(list_) &&
      reinterpret_cast<HIMAGELIST>(SendMessageA(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0)) == images_)
    ListView_SetImageList(list_, nullptr, LVSIL_SMALL);
  ImageList_Destroy(images_);
  images_ = nullptr;
  list_ = nullptr;
}

int RowImageList::AddIcon(HICON icon) {
  if (!icon) return -1;
  int image = images_ ? ImageList_AddIcon(images_, icon) : -1;
  DestroyIcon(icon);
  return image;
}

int RowImageList::AddFileIcon(const std::string& file, int index) {
  if (!images_ || file.empty() || index < 0) return -1;
  HICON small = nullptr;
  if (ExtractIconExA(file.c_str(), index, nullptr, &small, 1) == 0 || !small) return -1;
  return AddIcon(small);
}

int RowImageList::AddResourceIcon(HINSTANCE instance, int icon) {
  if (!images_) return -1;
  return AddIcon(LoadSmallIcon(instance, icon));
}

}  // namespace uiwin
