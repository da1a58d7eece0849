#include "moreboxes/MoreBoxesCore.h"

namespace kelvane::moreboxes {

RadiatorResult designRadiator(const analysis::DriverSnapshot &, const RadiatorInput &, double)
{
    return {};
}

analysis::BoxSnapshot radiatorBox(const RadiatorInput &, const RadiatorResult &, double)
{
    return {};
}

RadiatorCaptions radiatorCaptions(const RadiatorInput &, const RadiatorResult &)
{
    return {};
}

BandpassDesign designBandpass(const analysis::DriverSnapshot &, double, double)
{
    return {};
}

BandpassDesign bandpassChambers(const analysis::DriverSnapshot &, const BandpassInput &)
{
    return {};
}

BandpassResult evaluateBandpass(const analysis::DriverSnapshot &, const BandpassDesign &, const BandpassInput &,
                                double)
{
    return {};
}

analysis::BoxSnapshot bandpassBox(const BandpassDesign &, const BandpassInput &, const BandpassResult &, double)
{
    return {};
}

BandpassCaptions bandpassCaptions(const BandpassDesign &, const BandpassResult &, const BandpassInput &)
{
    return {};
}

} // namespace kelvane::moreboxes
