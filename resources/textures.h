// textures.h - demo initialisation and the TGA texture loader.
//
// InitDemo() runs once between window creation and the message loop: it sizes the GL
// context to the client area, fills g_sinTable, imports the model, switches lighting on,
// creates g_quadric, loads the height map and the thirteen TGA images, and starts the music.
// LoadTgaTexture() reads one uncompressed 24- or 32-bit TGA file into a TextureImage and
// uploads it as a linearly filtered GL texture; anything else is refused silently.
// It is DecodeTgaFile() (the file into the record, no GL: tools and tests use it alone)
// followed by UploadTgaTexture() (the record into a new texture, on the current context).
//
// StartMusic() plays "musika.mp3" through the G-Audio library (gaudio/gaudio.h), reached
// through g_audioLibrary so that tests can put their own entry points in its place. Any of
// its five checks failing prints its message on standard output, reads the console key and
// ends the process with exit(-1) at once: no Shutdown, no message box. With g_musicWanted
// false (the command line's --mute) InitDemo does not call it: no audio library call at all.
//
// State: the thirteen g_tex* records, g_sinTable, g_quadric, g_hwnd, g_clientRect and the
// music objects, all written here once and read by the scenes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gaudio/gaudio.h"
#include "platform/platform.h"

struct GLUquadric;

// One loaded TGA image and its GL texture. A record whose file failed keeps textureName 0.
struct TextureImage {
    uint8_t* pixels;        // R, G, B (, A) per pixel in file row order; malloc'd, never freed
    uint32_t bitsPerPixel;  // 24 or 32
    uint32_t width;
    uint32_t height;
    uint32_t textureName;  // 0 while no texture exists
};

// The first twelve bytes of the one accepted file form: no image ID, no colour map, image
// type 2 (uncompressed true colour), all-zero colour-map fields, origin (0, 0).
inline constexpr uint8_t TGA_UNCOMPRESSED_HEADER[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Why a decode stopped, and what it left in the record (fields not named stay untouched):
enum class TgaStatus {
    Ok,           // all fields but textureName set; pixels R, G, B (, A) in file row order
    CannotOpen,   // nothing
    BadHeader,    // nothing: short header or a prefix other than TGA_UNCOMPRESSED_HEADER
    BadFormat,    // width, height: a side is 0 or the depth is not 24 or 32 bits
    TooLarge,     // width, height, bitsPerPixel; pixels null: the byte count exceeds 32 bits
    NoMemory,     // width, height, bitsPerPixel; pixels null
    ShortPixels,  // width, height, bitsPerPixel; pixels null, the partial buffer freed
};

// The image's byte count is computed in 64 bits; an image whose count does not fit in 32 bits
// (sides near 65535) is refused as TooLarge rather than given a wrapped, too small buffer,
// and one whose pixels are not all there is refused as ShortPixels before any buffer is made,
// so a header that lies about its size costs no allocation.
// Three block reads (12 bytes, 6 bytes, the pixels), the red/blue swap in place; bytes after
// the pixels are never read, the descriptor's origin bits are ignored (rows stay in file order).
// The buffer has 7 zeroed bytes per row after the pixels, so that the upload, which sets no
// unpack alignment, never reads past it whatever alignment is in force.
TgaStatus DecodeTgaFile(TextureImage* image, const char* fileName);
// The same decode from `size` bytes in memory, as if they were the file's contents.
TgaStatus DecodeTgaBytes(TextureImage* image, const uint8_t* data, size_t size);
// Short English text for a status, for tools that report on files.
const char* TgaStatusText(TgaStatus status);
// Generates textureName, binds it to GL_TEXTURE_2D (left bound), linear min and mag filters,
// no mipmaps, and uploads pixels as GL_RGB or GL_RGBA. Sets no pixel-store state: the rows are
// read with whatever unpack alignment is current. Needs the current GL context.
void UploadTgaTexture(TextureImage* image);
// DecodeTgaFile then UploadTgaTexture; true when the texture was created. Silent on failure.
bool LoadTgaTexture(TextureImage* image, const char* fileName);

extern TextureImage g_texGrass, g_texAll, g_texParticle, g_texMetal, g_texFish, g_texFishMetal, g_texIntro1,
    g_texIntro2, g_texCoder, g_texDesign, g_texQx, g_texMusic, g_texVokra;

extern HWND g_hwnd;            // the demo window, stored first thing by InitDemo
extern RECT g_clientRect;      // the client rectangle read once by InitDemo
extern float g_sinTable[256];  // sin(i * 3.141592654 / 128): one full turn in 256 steps
extern GLUquadric* g_quadric;  // the one quadric: smooth normals, texture coordinates on

// The music, written by StartMusic and kept for the whole run (the stream is never stopped).
extern uint16_t g_audioVersion;    // the library's version word: major bits 8-11, minor 4-7, patch 0-3
extern GAUDIO1* g_audio;           // the library object
extern MP3STREAM1* g_musicStream;  // the stream that plays "musika.mp3"

// True unless the viewer asked for silence; read once by InitDemo.
extern bool g_musicWanted;
// Where in the file StartMusic starts the music: 0, or the time of the frame the show starts at.
extern uint32_t g_musicStartMilliseconds;

// The G-Audio entry points StartMusic calls, in its order. g_audioLibrary holds the real
// library's; a test replaces them to play the library's part.
struct AudioLibrary {
    uint16_t (*getDllVersion)();
    GAUDIO1* (*getInterface)(uint32_t id);
    int32_t (*init)(GAUDIO1* audio, uint32_t flags);
    MP3STREAM1* (*getStreamInterface)(GAUDIO1* audio, uint32_t id);
    int32_t (*initialize)(MP3STREAM1* stream);
    int32_t (*setPrimaryDSBuffer)(MP3STREAM1* stream, uint32_t value);
    int32_t (*play)(MP3STREAM1* stream);
    double (*position)(const MP3STREAM1* stream);  // read by MusicPositionSeconds, not by StartMusic
};
extern AudioLibrary g_audioLibrary;
extern const AudioLibrary REAL_AUDIO_LIBRARY;

// Fills g_sinTable: the angle i * 3.141592654 / 128 and its sine in double, stored as float.
void FillSinTable();
// The thirteen LoadTgaTexture calls, in the table's order; results ignored.
void LoadDemoTextures();
// Starts "musika.mp3" or ends the process with status -1 (see above).
void StartMusic();
// Plays the music again from the start of the file, for a show that starts again; does
// nothing when no music was started.
void RestartMusic();
// Where the music is as it is heard, in seconds into the file, or -1 while none sounds (no
// music started, muted, ended): what a show that keeps time with its music follows.
double MusicPositionSeconds();

// What InitDemo loads and switches on once the context's fixed state is set, in its order:
// the sine table, the model, lighting, the quadric, the height map and the thirteen images.
// Needs the current GL context and nothing else: no window, no music.
void SetUpShow();
// InitGraphics on the window's client size, SetUpShow, then the music only when g_musicWanted. Returns
// the console key read that ends initialisation (-1: no console, no wait).
int InitDemo(HWND window);
