// Loads the OpenGL extension entry points for the current context with GLEW.
//
// GLEW as packaged loads the GL entry points first and then its GLX extras; where
// SDL made the context through EGL (it may on X11 and always does on Wayland) the
// GLX step reports GLEW_ERROR_NO_GLX_DISPLAY although every GL entry point is
// loaded. That report counts as success here; anything else is returned as it is.
//
// A full-screen window gets its picture framebuffer here, since routing binds of
// framebuffer 0 to it needs GLEW's entry points (platform/window/win32_sdl_picture.h).
#pragma once

#include <GL/glew.h>

GLenum loadGlExtensions();
