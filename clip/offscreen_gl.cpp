#include "clip/offscreen_gl.h"

#include <GL/glew.h>
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <vector>

namespace clip {
namespace {

constexpr EGLint kGlMajor = 4;
constexpr EGLint kGlMinor = 3;

bool fail(std::string* why, const std::string& line) {
  if (why != nullptr) *why = line;
  return false;
}

}  // namespace

OffscreenGl::~OffscreenGl() { close(); }

bool OffscreenGl::open(int width, int height, std::string* why) {
  close();
  if (width <= 0 || height <= 0) return fail(why, "a clip needs a width and a height above 0");
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) return fail(why, "EGL cannot draw off screen: no eglGetPlatformDisplayEXT");
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
    return fail(why, "EGL cannot draw off screen: no surfaceless display");
  }
  display_ = display;
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, kGlMajor, EGL_CONTEXT_MINOR_VERSION, kGlMinor,
                               EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
  EGLContext context = EGL_NO_CONTEXT;
  if (eglBindAPI(EGL_OPENGL_API)) {
    context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  }
  if (context == EGL_NO_CONTEXT) {
    close();
    return fail(why, "EGL cannot give an OpenGL 4.3 core context to draw off screen");
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    close();
    return fail(why, "EGL cannot make its OpenGL context current without a surface");
  }
  // Debian's GLEW looks for GLX first: with no X display it answers
  // GLEW_ERROR_NO_GLX_DISPLAY, having loaded the GL entry points already.
  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) {
    close();
    return fail(why, "the OpenGL entry points could not be loaded off screen");
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (width > largest || height > largest) {
    close();
    return fail(why, "a clip of " + std::to_string(width) + "x" + std::to_string(height) +
                         " is larger than the renderer can draw (" + std::to_string(largest) + ")");
  }
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glGenRenderbuffers(1, &colour_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    close();
    return fail(why, "the off-screen framebuffer is incomplete");
  }
  glViewport(0, 0, width, height);
  width_ = width;
  height_ = height;
  return true;
}

void OffscreenGl::readRows(unsigned char* rgba) const {
  const std::size_t row = static_cast<std::size_t>(width_) * 4;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  // GL's first row is the bottom one.
  std::vector<unsigned char> spare(row);
  for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
    unsigned char* a = rgba + row * static_cast<std::size_t>(top);
    unsigned char* b = rgba + row * static_cast<std::size_t>(bottom);
    std::memcpy(spare.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, spare.data(), row);
  }
}

void OffscreenGl::close() {
  if (context_ != nullptr) {
    if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
    if (colour_ != 0) glDeleteRenderbuffers(1, &colour_);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
  }
  // The surfaceless display is one for the whole process and every context on
  // it: it stays initialised, as ending it would end the others' too.
  framebuffer_ = colour_ = 0;
  display_ = context_ = nullptr;
  width_ = height_ = 0;
}

}  // namespace clip
