// ClientArrays: GL client-side vertex (and colour) arrays enabled for the
// lifetime of the object and disabled again at its end, so that the
// immediate drawing before and after it sees the client state it expects.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <vector>

class ClientArrays {
 public:
  // Packed x, y, z positions; colours (if any) packed with colourSize
  // components per vertex.
  explicit ClientArrays(const float* positions, const float* colours = nullptr,
                        int colourSize = 0)
      : colours_(colours != nullptr) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    if (colours_) {
      glEnableClientState(GL_COLOR_ARRAY);
      glColorPointer(colourSize, GL_FLOAT, 0, colours);
    }
  }
  ~ClientArrays() {
    if (colours_) glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
  }
  ClientArrays(const ClientArrays&) = delete;
  ClientArrays& operator=(const ClientArrays&) = delete;

 private:
  bool colours_;
};

// Draws `count` vertices as independent primitives of `groupSize` vertices
// each (4 for GL_QUADS, 2 for GL_LINES), in calls of about a million
// vertices at most, so that no count or index overflows and the driver
// copies the client arrays a part at a time. The same primitives in the same
// order as one call.
inline void drawArraysInParts(GLenum mode, const float* positions, const float* colours,
                              int colourSize, size_t count, size_t groupSize) {
  const size_t part = (size_t(1) << 20) / groupSize * groupSize;
  for (size_t done = 0; done < count; done += part) {
    ClientArrays arrays(positions + 3 * done,
                        colours != nullptr ? colours + colourSize * done : nullptr, colourSize);
    glDrawArrays(mode, 0, static_cast<GLsizei>(std::min(part, count - done)));
  }
}

// The vertices of a packed x, y, z array.
template <typename Allocator>
size_t vertexCount(const std::vector<float, Allocator>& positions) {
  return positions.size() / 3;
}
