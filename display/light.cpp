#include "display/light.h"

#include <GL/gl.h>

int Light::nextLightNumber = 0;

Light::Light(const float ambient_[4], const float diffuse_[4], const float specular_[4],
             const float position_[4])
    : lightNumber(GL_LIGHT0 + nextLightNumber) {
  ++nextLightNumber;
  for (int i = 0; i < 4; ++i) {
    ambient[i] = ambient_[i];
    diffuse[i] = diffuse_[i];
    specular[i] = specular_[i];
    position[i] = position_[i];
  }
}

void Light::enable() const {
  glEnable(GL_LIGHTING);
  glLightfv(lightNumber, GL_AMBIENT, ambient);
  glLightfv(lightNumber, GL_DIFFUSE, diffuse);
  glLightfv(lightNumber, GL_SPECULAR, specular);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glLightfv(lightNumber, GL_POSITION, position);
  glPopMatrix();
  glEnable(lightNumber);
}

namespace {
const float kSceneAmbient[4] = {0.35f, 0.35f, 0.35f, 0.0f};
const float kSceneDiffuse[4] = {0.5f, 0.5f, 0.5f, 0.0f};
const float kSceneSpecular[4] = {0.5f, 0.5f, 0.5f, 0.0f};
const float kScenePosition[4] = {1, 1, 1, 0};
}  // namespace

const Light sceneLight(kSceneAmbient, kSceneDiffuse, kSceneSpecular, kScenePosition);
