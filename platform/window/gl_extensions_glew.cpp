#include "platform/window/gl_extensions.h"

#include "platform/window/win32_sdl_picture.h"

GLenum loadGlExtensions() {
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    if (result == GLEW_ERROR_NO_GLX_DISPLAY) result = GLEW_OK;
    glGetError();  // GLEW's probing may leave an error behind
    if (result == GLEW_OK) startWindowPicture();
    return result;
}
