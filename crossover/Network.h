// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A passive network as data, solved by complex nodal analysis. Pure code; no widget.
//
// A network is a list of two-terminal parts between numbered nodes; node 0 is the return wire
// (the amplifier's - terminal). The amplifier is an ideal voltage source (no source impedance)
// between the input node and node 0. Every part is an admittance between its two nodes:
//   resistor 1/R, capacitor j w C, inductor 1/(R_wire + j w L) (its coil's resistance in series),
//   load 1/Z with Z taken, at each grid point, from the loads (a driver's impedance curve).
// At each frequency the admittances are stamped into the nodal matrix Y (Y_aa += y, Y_bb += y,
// Y_ab -= y, Y_ba -= y); the input node is held at 1 V, so the other nodes solve
//   Y_rr V_r = -Y_r,in,
// a small dense complex system (Eigen's LU with partial pivoting). Every result is per volt of the
// amplifier: voltages are ratios, currents are amperes per volt; scale by the drive voltage (2.83 V
// for the responses, sqrt(P Z) for a power) where a real figure is wanted.
//
// The textbook sections, the builder's values, and any further network in front of a driver (a
// pad, a baffle-step network) are all lists of the same parts: one solver serves them all.

#include "crossover/SimGrid.h"

#include <complex>
#include <vector>

namespace crossover {

// What a part belongs to, so a caption or a stress figure can be put beside it: the woofer's and
// the tweeter's section (index = its position from the amplifier, as in partName), the Zobel
// network (0 its resistor, 1 its capacitor), a driver (index = its load), the tweeter's L-pad (0 its
// series resistor, 1 its parallel one), the baffle-step compensation (0 its coil, 1 its resistor).
enum class PartGroup { WooferSection, TweeterSection, Zobel, Driver, Pad, BaffleStep };

struct Part {
    enum Kind { Resistor, Inductor, Capacitor, Load };
    Kind kind = Resistor;
    int a = 0, b = 0;        // its nodes (current counted from a to b)
    double value = 0;        // ohms, henries or farads; not used by a load
    double seriesOhms = 0;   // an inductor's wire resistance, ohms (0: an ideal coil)
    int load = 0;            // a load: the index of its impedance among the loads
    PartGroup group = PartGroup::WooferSection;
    int index = 0;
};

struct Network {
    int nodeCount = 2;   // nodes 0 .. nodeCount - 1
    int input = 1;       // the node the amplifier drives
    std::vector<Part> parts;
    // A new node's number.
    int addNode() { return nodeCount++; }
};

// The loads' impedances (ohms) on the grid: loads[i][k] is load i at grid point k.
using Loads = std::vector<std::vector<std::complex<double>>>;

struct Solution {
    std::vector<double> hz;                          // the grid it was solved on
    int nodeCount = 0;
    std::vector<std::complex<double>> volts;         // node n at grid point k: volts[k * nodeCount + n]
    std::vector<std::complex<double>> inputImpedance; // the impedance the amplifier sees, ohms, per point
    std::complex<double> at(std::size_t k, int node) const { return volts[k * std::size_t(nodeCount) + std::size_t(node)]; }
};

// Solves the network at every grid frequency. Throws kelvane::CalcFault for a part whose value (or
// wire resistance) is not a finite number above 0 (at or above 0 for the wire), a node out of range,
// a part between one node and itself, a load missing from the loads, or a network that cannot be
// solved (a node connected to nothing).
Solution solve(const Network &network, const Loads &loads, const Grid &grid);

// A part's own impedance at grid point k (ohms).
std::complex<double> partImpedance(const Part &part, const Loads &loads, const Grid &grid, std::size_t k);
// The voltage across a part (node a minus node b) and the current through it (from a to b), per
// volt of the amplifier, at grid point k.
std::complex<double> partVoltage(const Solution &solution, const Part &part, std::size_t k);
std::complex<double> partCurrent(const Solution &solution, const Part &part, const Loads &loads, const Grid &grid,
                                 std::size_t k);

} // namespace crossover
