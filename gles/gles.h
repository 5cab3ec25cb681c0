// gles.h - OpenGL 1.1 as the demo, its tools and GLU call it, drawn through OpenGL ES 3.0.
//
// The library defines the GL 1.1 entry points themselves (glBegin, glVertex3f, glEnable...,
// with the prototypes of <GL/gl.h>), so code written for GL 1.1 links against it unchanged.
// It draws through an OpenGL ES 3.0 / WebGL 2 context with GLSL ES 3.00 shaders and vertex
// buffers only: no client-side arrays, no quads, no fixed-function state reach the driver.
// The driver's functions are never called by name (they share the GL 1.1 names): the ES 3.0
// entry points are loaded into a table through the getter given to glesCreateContext.
//
//     GlesContext* gl = glesCreateContext(SDL_GL_GetProcAddress);  // ES context current
//     glesMakeCurrent(gl);     // from here the GL 1.1 calls draw into that context
//     ...draw a frame...; glesFlush(); swap;
//     glesMakeCurrent(nullptr); glesDestroyContext(gl);
//
// Supported: glBegin/glEnd with triangles, triangle strips and fans, quads, quad strips and
// polygons; glVertex2f/3f, glNormal3f, glTexCoord2f, glColor3f/3ub/4f/4ub; the model-view,
// projection and texture matrix stacks (load, multiply, push, pop, translate, rotate, scale,
// frustum, ortho); viewport, scissor, clear; the enables GL_TEXTURE_2D, GL_DEPTH_TEST,
// GL_BLEND, GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL, GL_TEXTURE_GEN_S/T, GL_SCISSOR_TEST,
// GL_NORMALIZE; blend and depth functions; the sphere map; texture objects in RGB, RGBA,
// BGR, BGRA, luminance (with alpha) and alpha of unsigned bytes, mipmapped as sent level by
// level; pixel storage (what ES lacks is answered at GL's defaults and refused otherwise);
// proxy textures and level queries as GLU's mipmap code asks them; the queries glGetError,
// glGetString, glIsEnabled, glGetIntegerv/Floatv/Doublev; glPushAttrib/glPopAttrib;
// glReadPixels in RGB, RGBA, BGR and BGRA; glFinish, glFlush.
//
// Meaning: lighting is GL 1.1's, per vertex in eye space: light 0 at its defaults (white,
// from the viewer's direction), the global ambient 0.2, the default material, colour material
// tracking ambient and diffuse; the normal goes through the model-view matrix in force at its
// vertex and is normalised only under GL_NORMALIZE. Sphere-map coordinates per vertex in eye
// space. Texture environment modulate. The current colour, normal and texture coordinate
// persist across primitives and frames.
//
// Refused (GL's error is set, nothing is drawn or changed): points and lines, texture
// coordinate generation other than the sphere map, texture environments other than modulate,
// 1D and 3D textures, pixel types other than unsigned bytes, pixel-store values ES cannot
// honour, any enum outside the list above, and every call between glBegin and glEnd that
// GL 1.1 refuses there. Accepted but drawn differently: GL_FLAT is drawn smooth, GL_CLAMP as
// clamping to the edge (no border texels), sizes that are not powers of two as ES draws them.
//
// Batching: every vertex is taken to clip space, lit and given its texture coordinate on the
// CPU as it is sent, so matrix and lighting changes cost no draw. Consecutive primitives go
// into one vertex buffer, indexed as triangles, until something the driver must know changes
// (texture, blending, depth test, scissor, viewport) or a clear, a read or a flush: then the
// batch is one glDrawElements.
#pragma once

#include <GL/gl.h>

// Returns the address of an OpenGL ES 3.0 entry point by its "gl..." name, or null.
using GlesProcGetter = void* (*)(const char* name);

struct GlesContext;

// Builds the library's state for the ES 3.0 context current on this thread: loads the entry
// points, compiles the shaders, makes the buffers. Null when an entry point is missing or a
// shader fails (the reason is in glesLastFailure). Leaves the current library context as it was.
GlesContext* glesCreateContext(GlesProcGetter getProc);
const char* glesLastFailure();
// The GL 1.1 calls go to this context (null: they do nothing). Flushes the one it leaves.
void glesMakeCurrent(GlesContext* context);
GlesContext* glesCurrentContext();
// Frees the library's state; its driver objects go with the driver context they live in.
void glesDestroyContext(GlesContext* context);
// Sends the pending batch to the driver: before a swap, a read by other means, a switch.
void glesFlush();
// Draw calls sent to the driver by the current context since it was made, and the primitives
// (glBegin/glEnd pairs) it was sent: what a fixed-function driver receives as separate draws.
long glesDrawCallCount();
long glesPrimitiveCount();
