// Light: one fixed-function light of the renderer, and sceneLight, the light
// of the sample spheres.
#pragma once

class Light {
 public:
  // Takes the next free light number (GL_LIGHT0, GL_LIGHT1, ...).
  Light(const float ambient[4], const float diffuse[4], const float specular[4],
        const float position[4]);

  // Switches lighting on and this light with it. The position is given in eye
  // coordinates, so the light moves with the camera.
  void enable() const;

  float ambient[4];
  float diffuse[4];
  float specular[4];
  float position[4];  // homogeneous; w = 0 makes it a direction
  int lightNumber;

  static int nextLightNumber;
};

// Grey ambient 0.35, diffuse and specular 0.5, a direction light from the
// upper right front of the viewer.
extern const Light sceneLight;
