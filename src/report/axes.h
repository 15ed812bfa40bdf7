// Pieces of the figures drawn over the steps: positions and labels.
#pragma once

#include <cstddef>

#include "report/model.h"
#include "report/svg.h"

namespace locseq::report {

// The name to print for step i: its sequence year name cut to `limit`
// characters, or "step k" when the name is blank.
Text step_label(const Model& m, std::size_t i, std::size_t limit = 12);

// Centre of step i of n in bands between the pixels left and right.
double band_centre(std::size_t i, std::size_t n, double left, double right);

// Adds the step labels under an x axis at y: the name and "step k" beneath
// it when every label fits its step's width, else the names turned, as
// many as stand apart.
void step_axis(Svg& out, const Model& m, double left, double right, double y);

// Height the step labels take under the axis, for steps `band` pixels apart.
double step_axis_height(const Model& m, double band);

// The labels of the tick marks: under an x axis (centred, small, muted) and
// beside a y axis (ending at the axis, muted).
Style x_tick_style();
Style y_tick_style();

// An axis title turned to run up beside a y axis, centred on `at`.
Style turned_title(Point at);

// The plotting area of a chart, in pixels.
struct PlotBox {
  double left, right, top, bottom;
};

// The value axis of a line chart: a grid line and a label at each tick of
// `y`, then the frame's left and bottom edges.
void value_axis(Svg& out, const Scale& y, const PlotBox& box);

}  // namespace locseq::report
