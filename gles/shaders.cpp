// The two programs: the vertex shader does GL 1.1's per-vertex work (matrices, lighting of
// light 0 with colour material, texture-coordinate generation, the texture matrix) for the
// state each vertex's run names in its batch's table; the fragment shader applies GL_MODULATE.
#include <string>

#include "gles/context.h"

namespace gles {

namespace {

// The batch's uniform block: its table of states, an array of vec4 in std140 (a stride of 16
// bytes, as VertexState is laid out: 19 vectors a state), then the number of its runs of
// vertices and the runs, each a word (see VertexState and RunWord in context.h).
const char* const VERTEX_SHADER = R"(
layout(std140) uniform Batch {
    vec4 table[19 * MAX_VERTEX_STATES];
    uvec4 runs[RUN_VECTORS];  // the number of runs, then the runs
};
in vec3 position;
in uint normal;
in vec2 texCoord;
in vec4 colour;
out vec4 vColour;
out vec2 vTexCoord;

const float GLOBAL_AMBIENT = 0.2;
const vec3 LIGHT0_DIRECTION = vec3(0.0, 0.0, 1.0);  // white, from the viewer's direction

uint Run(int i) { return runs[(i + 1) / 4][(i + 1) % 4]; }

// The state this vertex was sent under: that of the last run starting at or before it.
int StateOfThisVertex() {
    uint vertex = uint(gl_VertexID);
    int low = 0, high = int(runs[0].x);
    while (high - low > 1) {
        int middle = (low + high) / 2;
        if (Run(middle) >> 8 <= vertex) low = middle; else high = middle;
    }
    return int(Run(low) & 255u);
}

// The normal as the vertex carries it (PackNormal in vertex_state.cpp): a direction on the
// folded octahedron and a length.
vec3 UnpackNormal(uint bits) {
    uint scale = bits >> 24;
    if (scale == 0u) return vec3(0.0);
    vec2 p = vec2(float(bits & 4095u), float((bits >> 12) & 4095u)) / 2047.0 - 1.0;
    vec3 d = vec3(p, 1.0 - abs(p.x) - abs(p.y));
    if (d.z < 0.0) d.xy = (1.0 - abs(d.yx)) * vec2(d.x < 0.0 ? -1.0 : 1.0, d.y < 0.0 ? -1.0 : 1.0);
    return normalize(d) * (scale == 128u ? 1.0 : exp2((float(scale) - 128.0) / 32.0));
}

mat4 Matrix(int at) { return mat4(table[at], table[at + 1], table[at + 2], table[at + 3]); }

// GL 1.1's sphere map: the eye-space reflection of the view direction off the normal.
// Looking straight back along the normal leaves the coordinate as it was.
vec2 SphereMap(vec3 eye, vec3 n, vec2 current) {
    vec3 u = length(eye) > 0.0 ? normalize(eye) : eye;
    vec3 r = u - 2.0 * n * dot(n, u);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    return m == 0.0 ? current : r.xy / m + 0.5;
}

float Generated(float mode, float current, float sphere, float eyeLinear, float objectLinear) {
    return mode == 1.0 ? sphere : mode == 2.0 ? eyeLinear : mode == 3.0 ? objectLinear : current;
}

void main() {
    int at = StateOfThisVertex() * 19;
    vec4 object = vec4(position, 1.0);
    gl_Position = Matrix(at) * object;
    vec4 switches = table[at + 17], generate = table[at + 18];
    bool needNormal = switches.x != 0.0 || generate.x == 1.0 || generate.y == 1.0;
    vec3 n = vec3(0.0);
    if (needNormal) {
        n = mat3(table[at + 8].xyz, table[at + 9].xyz, table[at + 10].xyz) * UnpackNormal(normal);
        if (switches.w != 0.0 && length(n) > 0.0) n = normalize(n);
    }
    vColour = colour;
    if (switches.x != 0.0) {
        bool tracking = switches.z != 0.0;
        vec4 ambient = tracking ? colour : table[at + 15];
        vec4 diffuse = tracking ? colour : table[at + 16];
        float facing = switches.y != 0.0 ? max(dot(n, LIGHT0_DIRECTION), 0.0) : 0.0;
        vColour = clamp(vec4(ambient.rgb * GLOBAL_AMBIENT + diffuse.rgb * facing, diffuse.a), 0.0, 1.0);
    }
    vec4 tex = vec4(texCoord, 0.0, 1.0);
    if (generate.x != 0.0 || generate.y != 0.0) {
        vec4 eye = Matrix(at + 4) * object;
        vec2 sphere = SphereMap(eye.xyz, n, tex.xy);
        tex.x = Generated(generate.x, tex.x, sphere.x, eye.x, object.x);
        tex.y = Generated(generate.y, tex.y, sphere.y, eye.y, object.y);
    }
    tex = Matrix(at + 11) * tex;
    vTexCoord = tex.xy / (tex.w != 0.0 ? tex.w : 1.0);
}
)";

// Two programs, untextured and textured, rather than a branch in one: a draw without a texture
// then costs the rasteriser no sampling at all.
const char* const FRAGMENT_SHADER = R"(
precision highp float;
uniform sampler2D picture;
in vec4 vColour;
in vec2 vTexCoord;
out vec4 fragColour;
void main() {
#if TEXTURED
    fragColour = vColour * texture(picture, vTexCoord);
#else
    fragColour = vColour;
#endif
}
)";
const char* const FRAGMENT_HEADERS[2] = {"#version 300 es\n#define TEXTURED 0\n",
                                         "#version 300 es\n#define TEXTURED 1\n"};

GLuint CompileShader(EsApi& es, GLenum kind, const std::string& header, const char* source) {
    GLuint shader = es.CreateShader(kind);
    const char* parts[2] = {header.c_str(), source};
    es.ShaderSource(shader, 2, parts, nullptr);
    es.CompileShader(shader);
    GLint compiled = GL_FALSE;
    es.GetShaderiv(shader, es::COMPILE_STATUS, &compiled);
    if (compiled) return shader;
    char log[512] = "";
    es.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    SetLastFailure(std::string("a shader does not compile: ") + log);
    es.DeleteShader(shader);
    return 0;
}

GLuint LinkProgram(EsApi& es, GLuint vertex, GLuint fragment) {
    GLuint program = es.CreateProgram();
    es.AttachShader(program, vertex);
    es.AttachShader(program, fragment);
    es.BindAttribLocation(program, POSITION, "position");
    es.BindAttribLocation(program, NORMAL, "normal");
    es.BindAttribLocation(program, TEX_COORD, "texCoord");
    es.BindAttribLocation(program, COLOUR, "colour");
    es.LinkProgram(program);
    GLint linked = GL_FALSE;
    es.GetProgramiv(program, es::LINK_STATUS, &linked);
    if (!linked) {
        char log[512] = "";
        es.GetProgramInfoLog(program, sizeof log, nullptr, log);
        SetLastFailure(std::string("the shaders do not link: ") + log);
        es.DeleteProgram(program);
        return 0;
    }
    es.UseProgram(program);
    es.Uniform1i(es.GetUniformLocation(program, "picture"), 0);
    GLuint block = es.GetUniformBlockIndex(program, "Batch");
    if (block == es::INVALID_INDEX) {
        SetLastFailure("the vertex shader lacks its batch block");
        es.DeleteProgram(program);
        return 0;
    }
    es.UniformBlockBinding(program, block, 0);
    return program;
}

}  // namespace

bool BuildPrograms(Context& c) {
    EsApi& es = c.es;
    const std::string header = "#version 300 es\n#define MAX_VERTEX_STATES " + std::to_string(MAX_VERTEX_STATES) +
                               "\n#define RUN_VECTORS " + std::to_string(RUN_VECTORS) + "\n";
    GLuint vertex = CompileShader(es, es::VERTEX_SHADER, header, VERTEX_SHADER);
    if (!vertex) return false;
    bool built = true;
    for (int textured = 0; textured < 2 && built; ++textured) {
        GLuint fragment = CompileShader(es, es::FRAGMENT_SHADER, FRAGMENT_HEADERS[textured], FRAGMENT_SHADER);
        c.programs[textured] = fragment ? LinkProgram(es, vertex, fragment) : 0;
        if (fragment) es.DeleteShader(fragment);
        built = c.programs[textured] != 0;
    }
    es.DeleteShader(vertex);
    return built;
}

}  // namespace gles
