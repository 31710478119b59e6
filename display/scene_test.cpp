// The two renderers of the scene issue the same drawing: the layers of
// display/scene.h and display/contour_lines.h run against a recording
// stand-in for GL and GLU (every primitive with each vertex's position and
// colour, every state change and matrix operation, in order); the immediate
// layers are the reference.
#include "display/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "display/contour_lines.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"

// ---- The recording GL ----------------------------------------------------------

namespace {

// An operation and its values (a vertex: x, y, z, r, g, b, a). Compared value
// by value, so that NaN (an indeterminate colour) never equals anything.
struct Event {
  std::string op;
  std::vector<float> values;
  bool operator==(const Event& o) const { return op == o.op && values == o.values; }
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
  out << e.op;
  for (float v : e.values) out << ' ' << v;
  return out;
}

// The calls as issued: vertices and colour changes apart (recorded() gives
// each vertex the colour current at it), display lists as their calls.
struct Recorder {
  std::vector<Event> events;
  bool vertexArray = false, colourArray = false;
  const float* vertexPointer = nullptr;
  const float* colourPointer = nullptr;
  int colourSize = 0;
  std::map<unsigned, std::vector<Event>> lists;
  std::vector<Event>* compiling = nullptr;
  unsigned nextList = 1;

  void add(const Event& e) { (compiling != nullptr ? *compiling : events).push_back(e); }
  template <typename... T>
  void record(const char* op, T... values) {
    add({op, {float(values)...}});
  }
} gl;

}  // namespace

extern "C" {

void glBegin(GLenum mode) { gl.record("begin", mode); }
void glEnd() { gl.record("end"); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { gl.record("v", x, y, z); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { gl.record("colour", r, g, b, a); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) { glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1); }
void glEnable(GLenum cap) { gl.record("enable", cap); }
void glDisable(GLenum cap) { gl.record("disable", cap); }
void glLineWidth(GLfloat w) { gl.record("lineWidth", w); }
void glColorMaterial(GLenum face, GLenum mode) { gl.record("colorMaterial", face, mode); }
void glLightfv(GLenum light, GLenum name, const GLfloat* p) {
  gl.record("light", light, name, p[0], p[1], p[2], p[3]);
}
void glMatrixMode(GLenum mode) { gl.record("matrixMode", mode); }
void glPushMatrix() { gl.record("push"); }
void glPopMatrix() { gl.record("pop"); }
void glLoadIdentity() { gl.record("identity"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { gl.record("translate", x, y, z); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { gl.record("scale", x, y, z); }
void gluSphere(GLUquadric*, GLdouble radius, GLint slices, GLint stacks) {
  gl.record("sphere", radius, slices, stacks);
}

// Client state is not compiled into lists: it takes effect at once, and the
// arrays are read when the call is made (also into a list).
void glEnableClientState(GLenum array) { (array == GL_VERTEX_ARRAY ? gl.vertexArray : gl.colourArray) = true; }
void glDisableClientState(GLenum array) { (array == GL_VERTEX_ARRAY ? gl.vertexArray : gl.colourArray) = false; }
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* p) {
  ASSERT_TRUE(size == 3 && type == GL_FLOAT && stride == 0);
  gl.vertexPointer = static_cast<const float*>(p);
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const void* p) {
  ASSERT_TRUE((size == 3 || size == 4) && type == GL_FLOAT && stride == 0);
  gl.colourPointer = static_cast<const float*>(p);
  gl.colourSize = size;
}
// The current colour is indeterminate after a draw with a colour array.
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  ASSERT_TRUE(gl.vertexArray);
  gl.record("begin", mode);
  for (GLint i = first; i < first + count; ++i) {
    const float *v = gl.vertexPointer + 3 * i, *c = gl.colourPointer + gl.colourSize * i;
    if (gl.colourArray) gl.record("colour", c[0], c[1], c[2], gl.colourSize == 4 ? c[3] : 1.0f);
    gl.record("v", v[0], v[1], v[2]);
  }
  gl.record("end");
  if (gl.colourArray) gl.record("colour", NAN, NAN, NAN, NAN);
}

GLuint glGenLists(GLsizei range) { return std::exchange(gl.nextList, gl.nextList + range); }
void glNewList(GLuint list, GLenum mode) {
  ASSERT_EQ(mode, GLenum(GL_COMPILE));
  gl.compiling = &(gl.lists[list] = {});
}
void glEndList() { gl.compiling = nullptr; }
void glCallList(GLuint list) {
  for (const Event& e : gl.lists.at(list)) gl.add(e);
}
void glDeleteLists(GLuint list, GLsizei range) {
  for (GLsizei i = 0; i < range; ++i) gl.lists.erase(list + i);
}

}  // extern "C"

namespace {

// ---- Comparing the records -------------------------------------------------------

// Each vertex gets the colour current at it (at first indeterminate, so that
// a vertex drawn without its own colour shows). Independent quadrilaterals or
// lines drawn in several calls are the same primitives as in one: consecutive
// batches of one such mode are joined. A batch without vertices is left out.
std::vector<Event> resolved(const std::vector<Event>& events) {
  std::vector<Event> out;
  std::vector<float> colour(4, NAN);
  for (Event e : events) {
    if (e.op == "colour") {
      colour = e.values;
      continue;
    }
    if (e.op == "v") e.values.insert(e.values.end(), colour.begin(), colour.end());
    if (e.op == "end" && !out.empty() && out.back().op == "begin") {
      out.pop_back();
      continue;
    }
    if (e.op == "begin" && (e.values[0] == GL_QUADS || e.values[0] == GL_LINES) && !out.empty() &&
        out.back().op == "end") {
      size_t b = out.size() - 1;
      while (out[b].op != "begin") --b;
      if (out[b].values == e.values) {
        out.pop_back();  // the batch just ended continues
        continue;
      }
    }
    out.push_back(e);
  }
  return out;
}

// Records what `draw` issues and checks the state it leaves.
std::vector<Event> recorded(const std::function<void()>& draw) {
  gl.events.clear();
  draw();
  const auto count = [](const char* op) {
    return std::count_if(gl.events.begin(), gl.events.end(), [op](const Event& e) { return e.op == op; });
  };
  EXPECT_EQ(count("push"), count("pop"));
  EXPECT_FALSE(gl.vertexArray || gl.colourArray) << "client arrays left enabled";
  EXPECT_EQ(gl.compiling, nullptr);
  return resolved(gl.events);
}

void expectSameDrawing(const std::function<void()>& immediate, const std::function<void()>& arrays,
                       const char* what) {
  const std::vector<Event> expected = recorded(immediate), actual = recorded(arrays);
  ASSERT_GT(expected.size(), 0u) << what;
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(actual[i], expected[i]) << what << ", record " << i;
}

constexpr float kRadius = 5.0f;

// ---- The layers -------------------------------------------------------------------

TEST(SceneRenderers, TheTerrainBlockIsTheSameFromArrays) {
  // Odd and oblong grids, a single cell, a single point, a grid large enough
  // to be filled on several threads, and no terrain at all.
  for (const auto& size : {std::array<int, 2>{5, 4}, {2, 9}, {2, 2}, {1, 1}, {301, 260}, {0, 0}}) {
    TerrainSkyGrid grid;
    grid.terrain.gridSizeX = size[0];
    grid.terrain.gridSizeY = size[1];
    for (int i = 0; i < size[0] * size[1]; ++i) {
      grid.terrain.terrainHeights.push_back(static_cast<float>(3 * std::sin(0.37 * i) + 0.1 * i));
      grid.skyGrid.push_back(static_cast<float>(0.5 + 0.6 * std::cos(0.11 * i)));  // some above 1
    }
    TerrainArrays arrays;
    fillTerrainArrays(grid, arrays);
    for (const bool shown : {true, false}) {
      expectSameDrawing([&] { drawTerrainBlock(grid, kRadius, shown); },
                        [&] { drawTerrainBlock(shown ? &arrays : nullptr, size[0], size[1], kRadius); },
                        "terrain");
    }
  }
}

TEST(SceneRenderers, TheSkyLayersAreTheSameFromArrays) {
  for (const Sky& sky : {Sky(), Sky(SkyDistribution::OVERCAST, 11, 0.3f, 1.0f),
                         Sky(SkyDistribution::GENERAL, 4, 1.2f, 2.5f)}) {
    const float normaliser = normaliseSky(sky);
    const ContourArrays contours = contourArrays(sky, normaliser, kRadius);
    for (const bool flag : {true, false}) {
      const DomeArrays dome = domeArrays(sky, normaliser, kRadius, flag);
      expectSameDrawing([&] { drawSkyHemisphere(sky, normaliser, kRadius, flag); },
                        [&] { drawSkyHemisphere(dome); }, "dome");
      expectSameDrawing([&] { drawContourLines(sky, normaliser, kRadius, flag); },
                        [&] { drawContourLines(contours, flag); }, "contour lines");
    }
  }
}

TEST(SceneRenderers, TheSamplePointsAndTheirRegionsAreTheSameFromArraysAndLists) {
  SampleSet set = computeStratifiedSamples(Sky(), 60, true);
  // Regions with no corner and with one, and a point without a class colour.
  set.regionPolygons[1] = Sequence<Vec3>();
  set.regionPolygons[2] = Sequence<Vec3>();
  set.regionPolygons[2].append(Vec3(0, 0, 1));
  set.samplePoints.element(3).colour = nullptr;
  RegionPolygons fewer = set.regionPolygons;  // fewer regions than points
  fewer.resize(5);

  GLUquadric* quadric = reinterpret_cast<GLUquadric*>(&set);  // only passed on
  SphereLists spheres;
  const Sequence<SamplePoint>& all = set.samplePoints, none;
  for (const auto* points : {&all, &all, &none}) {  // the second time from the lists made
    for (const float size : {0.6f, 1.5f}) {
      expectSameDrawing([&] { drawSamplePoints(*points, kRadius, size, quadric); },
                        [&] { drawSamplePoints(*points, kRadius, size, quadric, spheres); },
                        "sample points");
    }
  }

  // A new build compiles the list again; the same build calls it as it is.
  LayerList list;
  const std::pair<const RegionPolygons*, int> steps[] = {{&set.regionPolygons, 1}, {&fewer, 2}, {&fewer, 2}};
  for (const auto& step : steps) {
    const std::vector<float> arcs = regionOutlineArray(set.samplePoints, *step.first, kRadius);
    expectSameDrawing([&] { drawRegionOutlines(set.samplePoints, *step.first, kRadius); },
                      [&] { drawRegionOutlines(arcs, step.second, list); }, "region outlines");
  }
}

}  // namespace
