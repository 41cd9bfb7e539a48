#pragma once
// The window texts of the autopilot for sample token values, powered and with no sequencer stage
// set: the ordinary values, then the ones that do not fit their window and are clamped.
#include <cstdint>
#include <limits>

#include "tests/autopilot/autopilot_support.h"

namespace aptest {

struct TextRow {
  Element window;
  uint32_t token;
  double value;
  double mach_mode;  // token 117
  const char* text;
};

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

inline constexpr TextRow kTextRows[] = {
    {kHeadingWindow, 107, 0.0, 0, "360"},      {kHeadingWindow, 107, 0.4, 0, "360"},
    {kHeadingWindow, 107, 0.5, 0, "001"},      {kHeadingWindow, 107, 359.5, 0, "360"},
    {kHeadingWindow, 107, 180.49, 0, "180"},   {kSpeedWindow, 118, 0.825, 1, ".83"},
    {kSpeedWindow, 118, 0.82, 1, ".82"},       {kSpeedWindow, 118, 0.0, 1, ".00"},
    {kSpeedWindow, 118, 1.0, 1, ".99"},        {kSpeedWindow, 118, 3.7, 1, ".99"},
    {kSpeedWindow, 116, 249.5, 0, "250"},      {kSpeedWindow, 116, 99.4, 0, "099"},
    {kAltitudeWindow, 109, 12349, 0, "12300"}, {kAltitudeWindow, 109, 12350, 0, "12400"},
    {kAltitudeWindow, 109, 49, 0, "00000"},    {kAltitudeWindow, 109, 50, 0, "00100"},
    {kVsWindow, 120, -0.4, 0, "+0000"},        {kVsWindow, 120, -0.5, 0, "-0001"},
    {kVsWindow, 120, 700, 0, "+0700"},         {kVsWindow, 120, -1500, 0, "-1500"},
};

// Values that do not fit: clamped to the nearest that does, never cut and never written past.
inline constexpr TextRow kClampedRows[] = {
    {kSpeedWindow, 116, 999.4, 0, "999"},        {kSpeedWindow, 116, 999.5, 0, "999"},
    {kSpeedWindow, 116, 123456.0, 0, "999"},     {kSpeedWindow, 116, -150.0, 0, "-99"},
    {kSpeedWindow, 116, kInf, 0, "999"},         {kSpeedWindow, 116, -kInf, 0, "-99"},
    {kSpeedWindow, 116, kNaN, 0, "000"},         {kSpeedWindow, 118, -0.5, 1, ".00"},
    {kSpeedWindow, 118, kNaN, 1, ".00"},         {kSpeedWindow, 118, kInf, 1, ".99"},
    {kHeadingWindow, 107, 999.4, 0, "999"},      {kHeadingWindow, 107, 1000.0, 0, "999"},
    {kHeadingWindow, 107, -5.0, 0, "-04"},       {kHeadingWindow, 107, -360.0, 0, "-99"},
    {kHeadingWindow, 107, kNaN, 0, "360"},       {kHeadingWindow, 107, 1e300, 0, "999"},
    {kAltitudeWindow, 109, 99949.0, 0, "99900"}, {kAltitudeWindow, 109, 99950.0, 0, "99900"},
    {kAltitudeWindow, 109, 5e9, 0, "99900"},     {kAltitudeWindow, 109, -900.0, 0, "-0800"},
    {kAltitudeWindow, 109, -9999.0, 0, "-9900"}, {kAltitudeWindow, 109, -50000.0, 0, "-9900"},
    {kAltitudeWindow, 109, kNaN, 0, "00000"},    {kAltitudeWindow, 109, -kInf, 0, "-9900"},
    {kVsWindow, 120, 9999.4, 0, "+9999"},        {kVsWindow, 120, 12000.0, 0, "+9999"},
    {kVsWindow, 120, -10000.0, 0, "-9999"},      {kVsWindow, 120, kInf, 0, "+9999"},
    {kVsWindow, 120, -kInf, 0, "-9999"},         {kVsWindow, 120, kNaN, 0, "+0000"},
};

}  // namespace aptest
