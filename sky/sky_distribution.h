// The sky distributions the model knows. The value is stored as a plain int in
// the application state, so an out-of-range value can exist and is reported
// by the sky model.
#pragma once

enum SkyDistribution : int {
  UNIFORM = 0,
  OVERCAST = 1,
  CLEAR = 2,
  SHARP = 3,
  POINT = 4,
  COSINE = 5,
  TURBID = 6,
  GENERAL = 7,
};
