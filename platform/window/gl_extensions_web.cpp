// WebGL's entry points are the browser's: nothing to load once a context exists.
#include <emscripten/html5_webgl.h>

#include "platform/window/gl_extensions.h"

GLenum loadGlExtensions() { return emscripten_webgl_get_current_context() ? GLEW_OK : GLEW_ERROR_NO_GL_VERSION; }
