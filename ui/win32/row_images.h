// The small-icon image list of a page's list view: image 0 is the program's default row icon,
// then the icons of the rows' program files or the program's own icons. The list view only
// borrows it (LVS_SHAREIMAGELISTS); the owner frees it when it is dropped or goes.
#pragma once
#include "platform/wintypes.h"

#include <commctrl.h>

#include <string>

namespace uiwin {

inline constexpr int kDefaultRowIcon = 107;

class RowImageList {
 public:
  RowImageList() = default;
  ~RowImageList() { Drop(); }
  RowImageList(const RowImageList&) = delete;
  RowImageList& operator=(const RowImageList&) = delete;

  // A fresh list for `list` (the old one is dropped first); false when it cannot be made.
  bool Create(HWND list, HINSTANCE instance);
  // Takes the list away from the list view (when it still exists) and frees it.
  void Drop();
  // The new image's index, -1 when the file has no such icon or there is no list.
  int AddFileIcon(const std::string& file, int index);
  // The new image's index, -1 when the program has no such icon or there is no list.
  int AddResourceIcon(HINSTANCE instance, int icon);
  HIMAGELIST get() const { return images_; }

 private:
  int AddIcon(HICON icon);

  HIMAGELIST images_ = nullptr;
  HWND list_ = nullptr;
};

}  // namespace uiwin
