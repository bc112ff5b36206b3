// Number helpers shared by the game and the drawing: the clamps, and sine, cosine and
// absolute value of a float that work in double precision.
#pragma once

#include <cmath>

inline float minF(float a, float b) { return a < b ? a : b; }
inline float maxF(float a, float b) { return a > b ? a : b; }
inline double minD(double a, double b) { return a < b ? a : b; }
inline double maxD(double a, double b) { return a > b ? a : b; }
inline int minI(int a, int b) { return a < b ? a : b; }
inline int maxI(int a, int b) { return a > b ? a : b; }

// The argument is a float, so a radian value formed in double is narrowed on the way in;
// the result stays double.
inline double sinF(float a) { return std::sin(static_cast<double>(a)); }
inline double cosF(float a) { return std::cos(static_cast<double>(a)); }
inline double absF(float a) { return std::fabs(static_cast<double>(a)); }

// Degrees to radians, formed in double.
inline double toRadians(double deg) { return deg * M_PI / 180.0; }
