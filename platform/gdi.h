#pragma once
// Owners for GDI handles, each with its matching release.

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// Selects an object into a DC for a scope and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory DC with a bitmap selected for its whole life: a back buffer or a picture.
class MemoryCanvas {
 public:
  MemoryCanvas() = default;
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  ~MemoryCanvas() { reset(); }

  // Takes ownership of `bitmap`, compatible with `reference`.
  void assign(HDC reference, HBITMAP bitmap, SIZE size) {
    reset();
    dc_.reset(CreateCompatibleDC(reference));
    bitmap_.reset(bitmap);
    previous_ = SelectObject(dc_.get(), bitmap);
    size_ = size;
  }
  void reset() {
    if (dc_) SelectObject(dc_.get(), previous_);
    dc_.reset();
    bitmap_.reset();
    size_ = {};
  }
  HDC dc() const { return dc_.get(); }
  SIZE size() const { return size_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  UniqueDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  SIZE size_{};
};
