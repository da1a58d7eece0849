// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/Network.h"

#include "common/Checked.h"

#include <Eigen/Dense>

#include <cmath>
#include <numbers>

namespace crossover {

namespace {

using cplx = std::complex<double>;

bool finite(cplx z)
{
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

// 1 / z as conj(z) / |z|^2: the library's complex division guards against overflow and infinities
// that a part's impedance (finite, not 0) never meets, at several times the cost.
cplx reciprocal(cplx z)
{
    const double d = std::norm(z);
    return {z.real() / d, -z.imag() / d};
}

void check(const Network &n, const Loads &loads, const Grid &grid)
{
    if (n.nodeCount < 2 || n.input <= 0 || n.input >= n.nodeCount)
        throw kelvane::CalcFault("network nodes");
    for (const Part &p : n.parts) {
        if (p.a < 0 || p.b < 0 || p.a >= n.nodeCount || p.b >= n.nodeCount || p.a == p.b)
            throw kelvane::CalcFault("network part nodes");
        if (p.kind == Part::Load) {
            if (p.load < 0 || std::size_t(p.load) >= loads.size() || loads[std::size_t(p.load)].size() != grid.size())
                throw kelvane::CalcFault("network load");
        } else if (!std::isfinite(p.value) || p.value <= 0 || !std::isfinite(p.seriesOhms) || p.seriesOhms < 0) {
            throw kelvane::CalcFault("network part value");
        }
    }
    // Every node must reach the amplifier's terminals through parts; a node left floating has no
    // voltage to solve for.
    std::vector<int> group(std::size_t(n.nodeCount));
    for (int i = 0; i < n.nodeCount; ++i)
        group[std::size_t(i)] = i;
    const auto root = [&group](int i) {
        while (group[std::size_t(i)] != i)
            i = group[std::size_t(i)] = group[std::size_t(group[std::size_t(i)])];
        return i;
    };
    group[std::size_t(root(n.input))] = root(0);
    for (const Part &p : n.parts)
        group[std::size_t(root(p.a))] = root(p.b);
    for (int i = 1; i < n.nodeCount; ++i)
        if (root(i) != root(0))
            throw kelvane::CalcFault("network node connected to nothing");
}

} // namespace

std::complex<double> partImpedance(const Part &p, const Loads &loads, const Grid &grid, std::size_t k)
{
    const double w = 2 * std::numbers::pi * grid.hz[k];
    switch (p.kind) {
    case Part::Resistor:
        return p.value;
    case Part::Inductor:
        return {p.seriesOhms, w * p.value};
    case Part::Capacitor:
        return {0, -1 / (w * p.value)};
    case Part::Load:
        return loads[std::size_t(p.load)][k];
    }
    return {};
}

Solution solve(const Network &n, const Loads &loads, const Grid &grid)
{
    check(n, loads, grid);
    // The unknown nodes: all but the return wire and the driven input.
    std::vector<int> unknown(std::size_t(n.nodeCount), -1);
    int size = 0;
    for (int node = 1; node < n.nodeCount; ++node)
        if (node != n.input)
            unknown[std::size_t(node)] = size++;

    Solution s;
    s.hz = grid.hz;
    s.nodeCount = n.nodeCount;
    s.volts.assign(grid.size() * std::size_t(n.nodeCount), cplx(0));
    s.inputImpedance.resize(grid.size());
    Eigen::MatrixXcd y(size, size);
    Eigen::VectorXcd rhs(size), v(size);
    Eigen::PartialPivLU<Eigen::MatrixXcd> lu(size);
    std::vector<cplx> admittance(n.parts.size());
    for (std::size_t k = 0; k < grid.size(); ++k) {
        y.setZero();
        rhs.setZero();
        for (std::size_t i = 0; i < n.parts.size(); ++i) {
            const Part &p = n.parts[i];
            const cplx g = reciprocal(partImpedance(p, loads, grid, k));
            admittance[i] = g;
            const int ua = unknown[std::size_t(p.a)], ub = unknown[std::size_t(p.b)];
            if (ua >= 0)
                y(ua, ua) += g;
            if (ub >= 0)
                y(ub, ub) += g;
            if (ua >= 0 && ub >= 0) {
                y(ua, ub) -= g;
                y(ub, ua) -= g;
            }
            // The input's known 1 V moves to the right-hand side.
            if (p.a == n.input && ub >= 0)
                rhs(ub) += g;
            if (p.b == n.input && ua >= 0)
                rhs(ua) += g;
        }
        cplx *volts = s.volts.data() + k * std::size_t(n.nodeCount);
        volts[n.input] = 1;
        if (size > 0) {
            lu.compute(y);
            v = lu.solve(rhs);
            for (int node = 1; node < n.nodeCount; ++node)
                if (unknown[std::size_t(node)] >= 0)
                    volts[node] = v(unknown[std::size_t(node)]);
        }
        // The amplifier's current: what leaves the input node through its parts.
        cplx current = 0;
        for (std::size_t i = 0; i < n.parts.size(); ++i) {
            const Part &p = n.parts[i];
            if (p.a == n.input)
                current += admittance[i] * (1.0 - volts[p.b]);
            else if (p.b == n.input)
                current += admittance[i] * (1.0 - volts[p.a]);
        }
        s.inputImpedance[k] = reciprocal(current);
        if (!finite(s.inputImpedance[k]))
            throw kelvane::CalcFault("network solve");
        for (int node = 0; node < n.nodeCount; ++node)
            if (!finite(volts[node]))
                throw kelvane::CalcFault("network solve");
    }
    return s;
}

std::complex<double> partVoltage(const Solution &s, const Part &p, std::size_t k)
{
    return s.at(k, p.a) - s.at(k, p.b);
}

std::complex<double> partCurrent(const Solution &s, const Part &p, const Loads &loads, const Grid &grid, std::size_t k)
{
    return partVoltage(s, p, k) / partImpedance(p, loads, grid, k);
}

} // namespace crossover
