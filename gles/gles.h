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
// GL_NORMALIZE; blend and depth functions; texture-coordinate generation; texture objects in RGB, RGBA,
// BGR, BGRA, luminance (with alpha) and alpha of unsigned bytes, mipmapped as sent level by
// level; pixel storage (what ES lacks is answered at GL's defaults and refused otherwise);
// proxy textures and level queries as GLU's mipmap code asks them; the queries glGetError,
// glGetString, glIsEnabled, glGetIntegerv/Floatv/Doublev; glPushAttrib/glPopAttrib;
// glReadPixels in RGB, RGBA, BGR and BGRA; glFinish, glFlush.
//
// Meaning: lighting is GL 1.1's, per vertex in eye space: light 0 at its defaults (white,
// from the viewer's direction), the global ambient 0.2, the default material, colour material
// tracking ambient and diffuse (switched off, the material keeps the colour it last took); the
// normal goes through the model-view matrix in force at its vertex and is normalised only under
// GL_NORMALIZE. Texture coordinates are generated per vertex: the sphere map in eye space, and
// the eye- and object-linear modes from GL's default planes (s = x, t = y), which cannot be
// changed. Texture environment modulate. The current colour, normal and texture coordinate
// persist across primitives and frames. glGetError reports the driver's own errors too (an
// upload it has no memory for), after the library's.
//
// Refused (GL's error is set, nothing is drawn or changed): points and lines, texture
// environments other than modulate, 1D and 3D textures, pixel types other than unsigned bytes,
// pixel-store values ES cannot honour, any enum outside the list above, and every call between
// glBegin and glEnd that GL 1.1 refuses there. Accepted but drawn differently: GL_FLAT is drawn
// smooth; GL_CLAMP clamps to the edge, so under linear filtering the edge texels are not
// blended with the border colour as GL 1.1 does; sizes that are not powers of two as ES draws
// them; colours reach the shader as bytes (1/255 steps, as the framebuffer keeps them), and
// normals as a direction about as fine as half floats with a length exact at 1 and within
// 1.1 % elsewhere (from 1/16 to 16).
//
// Drawing: vertices are kept in object space (28 bytes: position, normal, texture coordinate,
// colour); the vertex shader applies the matrices, the lighting and the texture-coordinate
// generation. Each batch has a table of up to 48 vertex states (matrices, lighting switches,
// material) and a list of up to 447 runs of vertices, each drawn under one of the states (the
// shader finds a vertex's run by its index), so a matrix or lighting change inside a batch
// costs a table entry and a run, not a draw. Consecutive primitives go into one batch until
// something the driver must know changes (texture, blending, depth test, scissor, viewport), its
// table or its runs are full, it holds 60000 vertices, or a clear, a read, a texture change or a
// flush comes: then the batch is one glDrawElements (16-bit indices up to 65536 vertices; a
// batch of nothing but strips of four vertices, as terrain cells and sprites are, writes none
// and is drawn with indices the context made once).
//
// Only what changed is sent: batch k of a frame (frames end at glesFlush) is compared, vertex
// by vertex and index by index, with batch k of the frame before; equal, it is drawn from the
// driver buffers it already has, and only its table of states and runs goes again if that changed;
// otherwise its vertices go from the first that differs. The buffers are kept, grown by
// doubling and written with glBufferSubData.
//
// A lost driver context (the browser's WebGL context lost) is survived: glesContextLost stops
// every call to the driver, and glesContextRestored builds the programs and buffers again and
// re-sends every texture from the copy the library keeps of each level it sent.
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
// Sends the pending batch to the driver and ends the frame: before a swap, a read by other
// means, a switch. The next batch is compared with the first of the frame just ended.
void glesFlush();
// Draw calls sent to the driver by the current context since it was made, and the primitives
// (glBegin/glEnd pairs) it was sent: what a fixed-function driver receives as separate draws.
long glesDrawCallCount();
long glesPrimitiveCount();
// Bytes handed to the driver by the current context since it was made: vertices, indices,
// tables of vertex states and texture levels (what a browser copies into its GPU process).
long long glesBytesSentCount();
// The driver context has been lost: its objects are gone. Until glesContextRestored the
// library sends nothing to the driver; GL 1.1 calls still change the library's state.
void glesContextLost(GlesContext* context);
// The driver context is back (current on this thread), empty: builds the programs and
// buffers again and re-sends every texture, each level, from the copies the library keeps,
// so drawing goes on as before. False (reason in glesLastFailure) when it cannot.
bool glesContextRestored(GlesContext* context, GlesProcGetter getProc);
