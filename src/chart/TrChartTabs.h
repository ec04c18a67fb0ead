#pragma once

#include "TrChartBuilder.h"

/** The chart of each tab, filled into a model whose x axis already spans the frequency range. */
namespace TrChartTabs
{
void curve (const TrViewState& state, TrChart::Model& model, TrChartMemory* memory);
void harmonics (const TrViewState& state, TrChart::Model& model);
void dynamics (const TrViewState& state, TrChart::Model& model);
void scope (const TrViewState& state, TrChart::Model& model);
void nullAb (const TrViewState& state, TrChart::Model& model);
void perf (const TrViewState& state, TrChart::Model& model);
void checks (const TrViewState& state, TrChart::Model& model);
}
