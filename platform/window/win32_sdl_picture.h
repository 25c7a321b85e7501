// The picture of a full-screen window: the demo draws a fixed-size picture (1024 x 768)
// whatever the screen, and each SwapBuffers shows it scaled into the largest centred
// rectangle of the same shape that fits the window's drawable, black around it.
//
// The picture lives in a framebuffer object that stands in for the window's own
// framebuffer: once it is made, binding framebuffer 0 (through GLEW's
// glBindFramebufferEXT or glBindFramebuffer) binds the stand-in instead, so every
// viewport, render target and read-back of the scenes works on the picture as it
// would on a window of that size. The stand-in has the window's colour format
// (RGBA 8-8-8-8, no stencil) and its depth bits; it is invisible to the scenes
// except through queries of the framebuffer binding and glReadBuffer/glDrawBuffer
// with GL_BACK or GL_FRONT, which a framebuffer object refuses.
#pragma once

#include <SDL.h>

struct PictureRect {
    int x;
    int y;
    int width;
    int height;
};

// The largest rectangle of the picture's shape inside the drawable, centred (pixels).
PictureRect pictureRectIn(int drawableWidth, int drawableHeight, int pictureWidth, int pictureHeight);

// Makes the stand-in for the current context and routes binds of framebuffer 0 to it;
// a second call for the same context only renews the routing (GLEW's loader resets it).
// False, with nothing made, where the driver lacks framebuffer objects or blits.
bool startPictureFramebuffer(int width, int height);

// Shows the picture on the window's own back buffer, scaled to the drawable (pixels
// as they are when the sizes agree), and leaves every binding and state as it was.
// Does nothing when the current context has no stand-in.
void presentPicture(int drawableWidth, int drawableHeight);

// Forgets the stand-in of a context that is being deleted (its names go with it)
// and puts GLEW's framebuffer binds back as they were.
void forgetPictureFramebuffer(SDL_GLContext context);

// Gives the current window its stand-in when it is a full-screen window; the
// extension loader calls it once GLEW's entry points are in place.
void startWindowPicture();
