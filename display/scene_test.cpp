// The two renderers of the scene issue the same drawing: the layers of
// display/scene.h and display/contour_lines.h run here against a recording
// stand-in for GL and GLU, which writes down every primitive with the
// position and colour of each vertex (from glVertex calls or from the client
// arrays, display lists replayed), every state change and every matrix
// operation, in order. The immediate layers are the reference; the layers
// drawn from arrays must give the same record, and leave no client array
// enabled and the matrix stack as they found it.
#include "display/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "display/contour_lines.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"

// ---- The recording GL ----------------------------------------------------------

namespace {

// One record: an operation and its values (a vertex: x, y, z, r, g, b, a).
struct Event {
  std::string op;
  std::vector<float> values;
  // Value by value, so that NaN (an indeterminate colour) never equals anything.
  bool operator==(const Event& o) const { return op == o.op && values == o.values; }
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
  out << e.op;
  for (float v : e.values) out << ' ' << v;
  return out;
}

struct Recorder {
  std::vector<Event> events;
  float colour[4] = {1, 1, 1, 1};
  int matrixDepth = 0;
  // Client arrays.
  bool vertexArray = false, colourArray = false;
  const float* vertexPointer = nullptr;
  const float* colourPointer = nullptr;
  int colourSize = 0;
  // Display lists: the calls of each, replayed by glCallList.
  std::map<unsigned, std::vector<std::function<void()>>> lists;
  std::vector<std::function<void()>>* compiling = nullptr;
  unsigned nextList = 1;

  void record(const std::string& op, std::vector<float> values = {}) {
    events.push_back({op, std::move(values)});
  }
  // Runs a drawing command now, or keeps it for its list while one is compiled.
  void command(std::function<void()> call) {
    if (compiling != nullptr) {
      compiling->push_back(std::move(call));
    } else {
      call();
    }
  }
  void vertex(float x, float y, float z) {
    record("v", {x, y, z, colour[0], colour[1], colour[2], colour[3]});
  }
};

Recorder gl;

constexpr float kIndeterminate = NAN;

}  // namespace

extern "C" {

void glBegin(GLenum mode) { gl.command([=] { gl.record("begin", {float(mode)}); }); }
void glEnd() { gl.command([] { gl.record("end"); }); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { gl.command([=] { gl.vertex(x, y, z); }); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  gl.command([=] {
    const float c[4] = {r, g, b, a};
    std::memcpy(gl.colour, c, sizeof c);
  });
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) { glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1); }
void glEnable(GLenum cap) { gl.command([=] { gl.record("enable", {float(cap)}); }); }
void glDisable(GLenum cap) { gl.command([=] { gl.record("disable", {float(cap)}); }); }
void glLineWidth(GLfloat w) { gl.command([=] { gl.record("lineWidth", {w}); }); }
void glColorMaterial(GLenum face, GLenum mode) {
  gl.command([=] { gl.record("colorMaterial", {float(face), float(mode)}); });
}
void glLightfv(GLenum light, GLenum name, const GLfloat* p) {
  const std::vector<float> values = {float(light), float(name), p[0], p[1], p[2], p[3]};
  gl.command([=] { gl.record("light", values); });
}
void glMatrixMode(GLenum mode) { gl.command([=] { gl.record("matrixMode", {float(mode)}); }); }
void glPushMatrix() {
  gl.command([] {
    ++gl.matrixDepth;
    gl.record("push");
  });
}
void glPopMatrix() {
  gl.command([] {
    --gl.matrixDepth;
    gl.record("pop");
  });
}
void glLoadIdentity() { gl.command([] { gl.record("identity"); }); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  gl.command([=] { gl.record("translate", {x, y, z}); });
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) { gl.command([=] { gl.record("scale", {x, y, z}); }); }

// Client state is not compiled into lists: it takes effect at once.
void glEnableClientState(GLenum array) {
  (array == GL_VERTEX_ARRAY ? gl.vertexArray : gl.colourArray) = true;
}
void glDisableClientState(GLenum array) {
  (array == GL_VERTEX_ARRAY ? gl.vertexArray : gl.colourArray) = false;
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* p) {
  ASSERT_TRUE(size == 3 && type == GL_FLOAT && stride == 0);
  gl.vertexPointer = static_cast<const float*>(p);
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const void* p) {
  ASSERT_TRUE((size == 3 || size == 4) && type == GL_FLOAT && stride == 0);
  gl.colourPointer = static_cast<const float*>(p);
  gl.colourSize = size;
}

// The arrays are read when the call is made (also into a list); the current
// colour is indeterminate after a draw with a colour array.
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  ASSERT_TRUE(gl.vertexArray);
  std::vector<float> positions(gl.vertexPointer + 3 * first, gl.vertexPointer + 3 * (first + count));
  std::vector<float> colours;
  if (gl.colourArray) {
    for (GLsizei i = 0; i < count; ++i) {
      const float* c = gl.colourPointer + gl.colourSize * (first + i);
      colours.insert(colours.end(), {c[0], c[1], c[2], gl.colourSize == 4 ? c[3] : 1.0f});
    }
  }
  gl.command([=] {
    gl.record("begin", {float(mode)});
    for (GLsizei i = 0; i < count; ++i) {
      if (!colours.empty()) std::memcpy(gl.colour, &colours[4 * i], 4 * sizeof(float));
      gl.vertex(positions[3 * i], positions[3 * i + 1], positions[3 * i + 2]);
    }
    gl.record("end");
    if (!colours.empty()) {
      for (float& c : gl.colour) c = kIndeterminate;
    }
  });
}

GLuint glGenLists(GLsizei range) {
  const GLuint list = gl.nextList;
  gl.nextList += range;
  return list;
}
void glNewList(GLuint list, GLenum mode) {
  ASSERT_EQ(mode, GLenum(GL_COMPILE));
  gl.lists[list].clear();
  gl.compiling = &gl.lists[list];
}
void glEndList() { gl.compiling = nullptr; }
void glCallList(GLuint list) {
  gl.command([=] {
    for (const auto& call : gl.lists.at(list)) call();
  });
}
void glDeleteLists(GLuint list, GLsizei range) {
  for (GLsizei i = 0; i < range; ++i) gl.lists.erase(list + i);
}

void gluSphere(GLUquadric*, GLdouble radius, GLint slices, GLint stacks) {
  gl.command([=] { gl.record("sphere", {float(radius), float(slices), float(stacks)}); });
}

}  // extern "C"

namespace {

// ---- Comparing the records -------------------------------------------------------

// Independent quadrilaterals or lines drawn in several calls are the same
// primitives as in one: consecutive batches of one such mode are joined. A
// batch without vertices draws nothing and is left out.
std::vector<Event> joined(const std::vector<Event>& events) {
  std::vector<Event> out;
  for (size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    if (e.op == "end" && !out.empty() && out.back().op == "begin") {
      out.pop_back();
      continue;
    }
    const bool independent =
        e.op == "begin" && (e.values[0] == GL_QUADS || e.values[0] == GL_LINES);
    if (independent && out.size() >= 2 && out.back().op == "end") {
      // Find the begin of the batch just ended.
      size_t b = out.size() - 1;
      while (out[b].op != "begin") --b;
      if (out[b].values[0] == e.values[0]) {
        out.pop_back();  // its end: the new batch continues it
        continue;
      }
    }
    out.push_back(e);
  }
  return out;
}

// Records what `draw` issues, from a fresh recorder whose current colour is
// indeterminate, so that a vertex drawn without its own colour shows.
std::vector<Event> recorded(const std::function<void()>& draw) {
  gl.events.clear();
  for (float& c : gl.colour) c = kIndeterminate;
  gl.matrixDepth = 0;
  draw();
  EXPECT_EQ(gl.matrixDepth, 0);
  EXPECT_FALSE(gl.vertexArray || gl.colourArray) << "client arrays left enabled";
  EXPECT_EQ(gl.compiling, nullptr);
  return joined(gl.events);
}

void expectSameDrawing(const std::function<void()>& immediate, const std::function<void()>& arrays,
                       const char* what) {
  const std::vector<Event> expected = recorded(immediate);
  const std::vector<Event> actual = recorded(arrays);
  ASSERT_GT(expected.size(), 0u) << what;
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(actual[i], expected[i]) << what << ", record " << i;
  }
}

TerrainSkyGrid terrainOf(int nx, int ny) {
  TerrainSkyGrid grid;
  grid.terrain.gridSizeX = nx;
  grid.terrain.gridSizeY = ny;
  for (int i = 0; i < nx * ny; ++i) {
    grid.terrain.terrainHeights.push_back(static_cast<float>(3 * std::sin(0.37 * i) + 0.1 * i));
    grid.skyGrid.push_back(static_cast<float>(0.5 + 0.6 * std::cos(0.11 * i)));  // some above 1
  }
  return grid;
}

constexpr float kRadius = 5.0f;

// ---- The layers -------------------------------------------------------------------

TEST(SceneRenderers, TheTerrainBlockIsTheSameFromArrays) {
  // Odd and oblong grids, a single cell, a single point, a grid large enough
  // to be filled on several threads, and no terrain at all.
  const int sizes[][2] = {{5, 4}, {2, 9}, {2, 2}, {1, 1}, {301, 260}, {0, 0}};
  for (const auto& size : sizes) {
    const TerrainSkyGrid grid = terrainOf(size[0], size[1]);
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
    for (const bool overTerrain : {true, false}) {
      const DomeArrays dome = domeArrays(sky, normaliser, kRadius, overTerrain);
      expectSameDrawing([&] { drawSkyHemisphere(sky, normaliser, kRadius, overTerrain); },
                        [&] { drawSkyHemisphere(dome); }, "dome");
    }
    const ContourArrays contours = contourArrays(sky, normaliser, kRadius);
    for (const bool domeShown : {true, false}) {
      expectSameDrawing([&] { drawContourLines(sky, normaliser, kRadius, domeShown); },
                        [&] { drawContourLines(contours, domeShown); }, "contour lines");
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
  for (const float size : {0.6f, 1.5f, 0.6f}) {
    expectSameDrawing([&] { drawSamplePoints(set.samplePoints, kRadius, size, quadric); },
                      [&] { drawSamplePoints(set.samplePoints, kRadius, size, quadric, spheres); },
                      "sample points");
  }
  const Sequence<SamplePoint> none;
  expectSameDrawing([&] { drawSamplePoints(none, kRadius, 0.6f, quadric); },
                    [&] { drawSamplePoints(none, kRadius, 0.6f, quadric, spheres); },
                    "no sample points");

  // A new build compiles the list again; the same build calls it as it is.
  LayerList list;
  const struct {
    const RegionPolygons* regions;
    int build;
  } steps[] = {{&set.regionPolygons, 1}, {&fewer, 2}, {&fewer, 2}};
  for (const auto& step : steps) {
    const RegionPolygons* regions = step.regions;
    const int build = step.build;
    const std::vector<float> arcs = regionOutlineArray(set.samplePoints, *regions, kRadius);
    expectSameDrawing([&] { drawRegionOutlines(set.samplePoints, *regions, kRadius); },
                      [&] { drawRegionOutlines(arcs, build, list); }, "region outlines");
  }
}

}  // namespace
