// Texture objects, pixel storage and reading the picture back. Images reach the driver as
// packed RGB or RGBA bytes whatever GL 1.1 format they came in; what a GL 1.1 texture of a
// luminance or alpha format samples to under GL_MODULATE is the same as that RGB(A) image.
#include <cstring>
#include <vector>

#include "gles/context.h"

namespace gles {

bool TextureComplete(const Texture& t) {
    if (t.levels.empty() || t.levels[0].width == 0 || t.levels[0].height == 0) return false;
    const bool mipmapped = t.minFilter != GL_NEAREST && t.minFilter != GL_LINEAR;
    if (!mipmapped) return true;
    // Every level down to 1 x 1, each half the one above, in the same format.
    const TextureLevel& base = t.levels[0];
    GLint w = base.width, h = base.height;
    for (std::size_t level = 1;; ++level) {
        if (w == 1 && h == 1) return true;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
        if (level >= t.levels.size()) return false;
        const TextureLevel& l = t.levels[level];
        if (l.width != w || l.height != h || l.baseFormat != base.baseFormat) return false;
    }
}

}  // namespace gles

using namespace gles;

namespace {

// The GL 1.1 base format an internal format names, or 0 for one the library does not know.
GLenum BaseFormat(GLint internalFormat) {
    switch (internalFormat) {
    case 1:
    case GL_LUMINANCE:
    case GL_LUMINANCE8: return GL_LUMINANCE;
    case 2:
    case GL_LUMINANCE_ALPHA:
    case GL_LUMINANCE8_ALPHA8: return GL_LUMINANCE_ALPHA;
    case GL_ALPHA:
    case GL_ALPHA8: return GL_ALPHA;
    case 3:
    case GL_RGB:
    case GL_RGB5:
    case GL_RGB8: return GL_RGB;
    case 4:
    case GL_RGBA:
    case GL_RGBA4:
    case GL_RGB5_A1:
    case GL_RGBA8: return GL_RGBA;
    default: return 0;
    }
}

// Whether a level of this base format is handed to the driver as RGBA rather than RGB.
bool KeepsAlpha(GLenum base) { return base == GL_RGBA || base == GL_LUMINANCE_ALPHA || base == GL_ALPHA; }

int Components(GLenum format) {
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB:
    case gl::BGR: return 3;
    case GL_RGBA:
    case gl::BGRA: return 4;
    default: return 0;
    }
}

// One source pixel as RGBA, the way GL 1.1 expands each format.
void ToRgba(GLenum format, const GLubyte* p, GLubyte out[4]) {
    switch (format) {
    case GL_ALPHA: out[0] = out[1] = out[2] = 0, out[3] = p[0]; break;
    case GL_LUMINANCE: out[0] = out[1] = out[2] = p[0], out[3] = 255; break;
    case GL_LUMINANCE_ALPHA: out[0] = out[1] = out[2] = p[0], out[3] = p[1]; break;
    case GL_RED: out[0] = p[0], out[1] = out[2] = 0, out[3] = 255; break;
    case GL_GREEN: out[1] = p[0], out[0] = out[2] = 0, out[3] = 255; break;
    case GL_BLUE: out[2] = p[0], out[0] = out[1] = 0, out[3] = 255; break;
    case GL_RGB: out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = 255; break;
    case gl::BGR: out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = 255; break;
    case GL_RGBA: out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = p[3]; break;
    case gl::BGRA: out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = p[3]; break;
    default: break;
    }
}

// An RGBA texel as the internal format keeps it: luminance is taken from red, as GL does.
void ToInternal(GLenum base, GLubyte t[4]) {
    switch (base) {
    case GL_LUMINANCE: t[1] = t[2] = t[0], t[3] = 255; break;
    case GL_LUMINANCE_ALPHA: t[1] = t[2] = t[0]; break;
    case GL_ALPHA: t[0] = t[1] = t[2] = 255; break;
    case GL_RGB: t[3] = 255; break;
    default: break;
    }
}

std::size_t RowStride(std::size_t pixelsPerRow, int components, GLint alignment) {
    const std::size_t bytes = pixelsPerRow * std::size_t(components);
    return (bytes + std::size_t(alignment) - 1) / std::size_t(alignment) * std::size_t(alignment);
}

Texture* BoundTexture(Context& c) {
    auto found = c.textures.find(c.state.boundTexture);
    return found == c.textures.end() ? nullptr : &found->second;
}

// Binds the texture in the driver for an upload or a parameter, keeping the batch's record
// true. A batch waiting to be drawn with the texture is sent first: it was drawn before the change.
void BindForChange(Context& c, Texture& t) {
    FlushBatch(c);
    if (!t.driverName) c.es.GenTextures(1, &t.driverName);
    c.es.BindTexture(GL_TEXTURE_2D, t.driverName);
    c.applied.texture = t.driverName;
}

// ES has no GL_CLAMP. GL 1.1's clamp blends the edge texels with the border colour (black by
// default) under linear filtering, and clamping to the edge does not: the outermost half texel
// is drawn brighter here than by GL 1.1.
GLint DriverWrap(GLenum wrap) { return GLint(wrap == GL_CLAMP ? es::CLAMP_TO_EDGE : wrap); }

void SendParameters(Context& c, Texture& t) {
    c.es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(t.minFilter));
    c.es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLint(t.magFilter));
    c.es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, DriverWrap(t.wrapS));
    c.es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, DriverWrap(t.wrapT));
    // The driver samples only the levels GL 1.1 would: down to 1 x 1 from level 0.
    c.es.TexParameteri(GL_TEXTURE_2D, es::TEXTURE_MAX_LEVEL, GLint(t.levels.empty() ? 0 : t.levels.size() - 1));
    t.complete = TextureComplete(t);
    DrawStateChanged(c);
}

void SendLevel(Context& c, const TextureLevel& l, GLint level) {
    if (l.width == 0 && l.height == 0 && !l.defined) return;  // a level never sent
    const bool alpha = KeepsAlpha(l.baseFormat);
    c.es.TexImage2D(GL_TEXTURE_2D, level, GLint(alpha ? es::RGBA8 : es::RGB8), l.width, l.height, 0,
                    alpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, l.defined ? l.pixels.data() : nullptr);
    CountSent(c, l.pixels.size());
}

bool IsFilter(GLint value, bool minifying) {
    switch (value) {
    case GL_NEAREST:
    case GL_LINEAR: return true;
    case GL_NEAREST_MIPMAP_NEAREST:
    case GL_LINEAR_MIPMAP_NEAREST:
    case GL_NEAREST_MIPMAP_LINEAR:
    case GL_LINEAR_MIPMAP_LINEAR: return minifying;
    default: return false;
    }
}

void SetParameter(GLenum target, GLenum pname, GLint value) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (target != GL_TEXTURE_2D) return SetError(*c, GL_INVALID_ENUM);
    Texture* t = BoundTexture(*c);
    if (!t) return;
    switch (pname) {
    case GL_TEXTURE_MIN_FILTER:
    case GL_TEXTURE_MAG_FILTER:
        if (!IsFilter(value, pname == GL_TEXTURE_MIN_FILTER)) return SetError(*c, GL_INVALID_ENUM);
        (pname == GL_TEXTURE_MIN_FILTER ? t->minFilter : t->magFilter) = GLenum(value);
        break;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
        if (value != GL_REPEAT && value != GL_CLAMP) return SetError(*c, GL_INVALID_ENUM);
        (pname == GL_TEXTURE_WRAP_S ? t->wrapS : t->wrapT) = GLenum(value);
        break;
    default: return SetError(*c, GL_INVALID_ENUM);
    }
    BindForChange(*c, *t);
    SendParameters(*c, *t);
}

}  // namespace

namespace gles {

void SendTextureToDriver(Context& c, Texture& t) {
    BindForChange(c, t);
    for (std::size_t level = 0; level < t.levels.size(); ++level) SendLevel(c, t.levels[level], GLint(level));
    SendParameters(c, t);
}

}  // namespace gles

extern "C" {

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (n < 0) return SetError(*c, GL_INVALID_VALUE);
    for (GLsizei i = 0; i < n; ++i) {
        while (c->textures.count(c->nextTextureName) || c->generatedNames.count(c->nextTextureName))
            ++c->nextTextureName;
        textures[i] = c->nextTextureName;
        // A generated name is taken, but the object is made on its first binding, as in GL 1.1.
        c->generatedNames.insert(c->nextTextureName);
        ++c->nextTextureName;
    }
}

void GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* textures) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (n < 0) return SetError(*c, GL_INVALID_VALUE);
    FlushBatch(*c);
    for (GLsizei i = 0; i < n; ++i) {
        GLuint name = textures[i];
        c->generatedNames.erase(name);
        auto found = c->textures.find(name);
        if (name == 0 || found == c->textures.end()) continue;
        if (found->second.driverName) {
            c->es.DeleteTextures(1, &found->second.driverName);
            if (c->applied.texture == found->second.driverName) c->appliedKnown = false;
        }
        c->textures.erase(found);
        // Deleting the bound texture binds the default one.
        if (c->state.boundTexture == name) c->state.boundTexture = 0;
        DrawStateChanged(*c);
    }
}

GLboolean GLAPIENTRY glIsTexture(GLuint name) {
    Context* c = ContextOutsideBeginEnd();
    return c && name != 0 && c->textures.count(name) ? GL_TRUE : GL_FALSE;
}

void GLAPIENTRY glBindTexture(GLenum target, GLuint name) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (target != GL_TEXTURE_2D) return SetError(*c, GL_INVALID_ENUM);
    c->textures.try_emplace(name);  // binding an unused name makes the object, as in GL 1.1
    c->generatedNames.erase(name);
    c->state.boundTexture = name;
    DrawStateChanged(*c);
}

void GLAPIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param) { SetParameter(target, pname, param); }
void GLAPIENTRY glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    SetParameter(target, pname, GLint(param));
}

void GLAPIENTRY glPixelStorei(GLenum pname, GLint param) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    auto alignment = [&](GLint& into) {
        if (param != 1 && param != 2 && param != 4 && param != 8) return SetError(*c, GL_INVALID_VALUE);
        into = param;
    };
    auto count = [&](GLint& into) {
        if (param < 0) return SetError(*c, GL_INVALID_VALUE);
        into = param;
    };
    switch (pname) {
    case GL_UNPACK_ALIGNMENT: return alignment(c->unpackAlignment);
    case GL_PACK_ALIGNMENT: return alignment(c->packAlignment);
    case GL_UNPACK_ROW_LENGTH: return count(c->unpackRowLength);
    case GL_UNPACK_SKIP_ROWS: return count(c->unpackSkipRows);
    case GL_UNPACK_SKIP_PIXELS: return count(c->unpackSkipPixels);
    case GL_PACK_ROW_LENGTH: return count(c->packRowLength);
    case GL_PACK_SKIP_ROWS: return count(c->packSkipRows);
    case GL_PACK_SKIP_PIXELS: return count(c->packSkipPixels);
    default:
        // ES has none of these; GL's default is accepted (GLU sets them back to it), anything else refused.
        if (!PixelStoreNameEsLacks(pname)) return SetError(*c, GL_INVALID_ENUM);
        if (param != 0) SetError(*c, GL_INVALID_VALUE);
    }
}

void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    const bool proxy = target == gl::PROXY_TEXTURE_2D;
    if (target != GL_TEXTURE_2D && !proxy) return SetError(*c, GL_INVALID_ENUM);
    const GLenum base = BaseFormat(internalFormat);
    const int components = Components(format);
    if (!components || type != GL_UNSIGNED_BYTE) return SetError(*c, GL_INVALID_ENUM);
    if (!base) return SetError(*c, GL_INVALID_VALUE);
    if (level < 0 || level > 30 || width < 0 || height < 0 || border != 0) return SetError(*c, GL_INVALID_VALUE);
    const GLint limit = c->maxTextureSize >> level;
    if (proxy) {
        // Nothing is made; the sizes say whether it would have been.
        const bool fits = width <= limit && height <= limit;
        c->proxySize = {fits ? width : 0, fits ? height : 0};
        return;
    }
    if (width > limit || height > limit) return SetError(*c, GL_INVALID_VALUE);
    Texture* t = BoundTexture(*c);
    if (!t) return;

    // Unpack as GL 1.1 reads client memory, into packed RGB or RGBA rows, kept as the level.
    if (t->levels.size() <= std::size_t(level)) t->levels.resize(std::size_t(level) + 1);
    TextureLevel& l = t->levels[std::size_t(level)];
    l.width = width;
    l.height = height;
    l.baseFormat = base;
    l.defined = pixels != nullptr;
    const int outComponents = KeepsAlpha(base) ? 4 : 3;
    l.pixels.assign(pixels ? std::size_t(width) * std::size_t(height) * std::size_t(outComponents) : 0, 0);
    if (pixels) {
        const std::size_t rowPixels = c->unpackRowLength > 0 ? std::size_t(c->unpackRowLength) : std::size_t(width);
        const std::size_t stride = RowStride(rowPixels, components, c->unpackAlignment);
        const auto* source = static_cast<const GLubyte*>(pixels) + std::size_t(c->unpackSkipRows) * stride +
                             std::size_t(c->unpackSkipPixels) * std::size_t(components);
        GLubyte* out = l.pixels.data();
        for (GLsizei y = 0; y < height; ++y)
            for (GLsizei x = 0; x < width; ++x) {
                GLubyte texel[4];
                ToRgba(format, source + std::size_t(y) * stride + std::size_t(x) * std::size_t(components), texel);
                ToInternal(base, texel);
                std::memcpy(out, texel, std::size_t(outComponents));
                out += outComponents;
            }
    }
    BindForChange(*c, *t);
    SendLevel(*c, l, level);
    SendParameters(*c, *t);
}

// One- and three-dimensional textures are not drawn here; GLU's code for them links but is refused.
void GLAPIENTRY glTexImage1D(GLenum, GLint, GLint, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {
    if (Context* c = ContextOutsideBeginEnd()) SetError(*c, GL_INVALID_ENUM);
}
void GLAPIENTRY glTexImage3D(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {
    if (Context* c = ContextOutsideBeginEnd()) SetError(*c, GL_INVALID_ENUM);
}

void GLAPIENTRY glGetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params) {
    Context* c = ContextOutsideBeginEnd();
    if (!c || !params) return;
    if (level < 0) return SetError(*c, GL_INVALID_VALUE);
    GLint width = 0, height = 0, format = 0;
    if (target == gl::PROXY_TEXTURE_2D) {
        width = c->proxySize[0];
        height = c->proxySize[1];
    } else if (target == GL_TEXTURE_2D) {
        if (Texture* t = BoundTexture(*c); t && std::size_t(level) < t->levels.size()) {
            const TextureLevel& l = t->levels[std::size_t(level)];
            width = l.width;
            height = l.height;
            format = GLint(l.baseFormat);
        }
    } else {
        // GLU asks of 1D and 3D proxies too: nothing of theirs fits.
        if (target != GL_PROXY_TEXTURE_1D && target != gl::PROXY_TEXTURE_3D) return SetError(*c, GL_INVALID_ENUM);
    }
    switch (pname) {
    case GL_TEXTURE_WIDTH: *params = width; break;
    case GL_TEXTURE_HEIGHT: *params = height; break;
    case GL_TEXTURE_COMPONENTS: *params = format ? format : 1; break;
    case GL_TEXTURE_BORDER: *params = 0; break;
    default: SetError(*c, GL_INVALID_ENUM);
    }
}

void GLAPIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                             GLvoid* pixels) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    const int components = Components(format);
    if (width < 0 || height < 0) return SetError(*c, GL_INVALID_VALUE);
    if (type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_RGBA && format != gl::BGR && format != gl::BGRA))
        return SetError(*c, GL_INVALID_ENUM);
    if (!pixels || width == 0 || height == 0) return;
    FlushBatch(*c);
    // RGBA bytes are the one read every ES driver takes; the rest is rearranged here.
    std::vector<GLubyte> rgba(std::size_t(width) * std::size_t(height) * 4);
    c->es.ReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const std::size_t rowPixels = c->packRowLength > 0 ? std::size_t(c->packRowLength) : std::size_t(width);
    const std::size_t stride = RowStride(rowPixels, components, c->packAlignment);
    auto* out = static_cast<GLubyte*>(pixels) + std::size_t(c->packSkipRows) * stride +
                std::size_t(c->packSkipPixels) * std::size_t(components);
    const bool swap = format == gl::BGR || format == gl::BGRA;
    for (GLsizei row = 0; row < height; ++row)
        for (GLsizei col = 0; col < width; ++col) {
            const GLubyte* p = &rgba[(std::size_t(row) * std::size_t(width) + std::size_t(col)) * 4];
            GLubyte* q = out + std::size_t(row) * stride + std::size_t(col) * std::size_t(components);
            q[0] = swap ? p[2] : p[0];
            q[1] = p[1];
            q[2] = swap ? p[0] : p[2];
            if (components == 4) q[3] = p[3];
        }
}

}  // extern "C"
