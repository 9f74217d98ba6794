#pragma once
// An OpenGL 4.3 context with no window and no display: Mesa's EGL on its
// surfaceless platform, drawing into a framebuffer object of the clip's size.
// A clip is drawn here frame by frame and read back for the encoder.
#include <string>

namespace clip {

class OffscreenGl {
 public:
  OffscreenGl() = default;
  OffscreenGl(const OffscreenGl&) = delete;
  OffscreenGl& operator=(const OffscreenGl&) = delete;
  ~OffscreenGl();

  // Makes the context current on this thread and binds a width x height
  // framebuffer for drawing and reading. Returns false, with one line in
  // *why, when EGL has no such context or the framebuffer is incomplete.
  bool open(int width, int height, std::string* why);
  // Copies the framebuffer into rgba: width x height pixels, RGBA, the top
  // row first, as a picture file or a video frame is laid out.
  void readRows(unsigned char* rgba) const;
  void close();

  int width() const { return width_; }
  int height() const { return height_; }
  bool isOpen() const { return context_ != nullptr; }

 private:
  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned framebuffer_ = 0;
  unsigned colour_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace clip
