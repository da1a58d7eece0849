// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The minimum phase that belongs to a magnitude response, for response (or impedance) files that
// give no phase. A loudspeaker driver is, to a good approximation, a minimum-phase system, so its
// phase follows from its magnitude through the Hilbert transform; this is computed with the real
// cepstrum on a uniform frequency grid (FFTW):
//   c = IFFT(ln|H|),  c_min[0] = c[0], c_min[n] = 2 c[n] for 0 < n < N/2, c_min[N/2] = c[N/2], 0 after,
//   ln H_min = FFT(c_min),  phase = Im(ln H_min).
// The transform needs the magnitude from 0 Hz to the top of the uniform grid, beyond what a file
// covers; it is extended below the data with a fall of belowDbPerOctave (12 dB/octave for a response:
// the second-order roll-off of a driver below its resonance; 0 to hold the level, for an impedance)
// and above the data with the last level held. The uniform grid reaches twice the highest frequency
// asked for and is fine enough for the lowest one (a bin of at most 1/8 of it).

#include <vector>

namespace crossover {

constexpr double ResponseSlopeBelowDbPerOctave = 12;

// The minimum phase (degrees) at each frequency of atHz (rising, above 0) of the magnitude db (dB at
// the rising frequencies hz, interpolated linearly in log f, at least 2 points).
std::vector<double> minimumPhase(const std::vector<double> &hz, const std::vector<double> &db,
                                 double belowDbPerOctave, const std::vector<double> &atHz);

} // namespace crossover
