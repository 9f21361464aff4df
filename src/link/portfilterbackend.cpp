#include "portfilterbackend.h"

#include <utility>

PortFilterBackend::PortFilterBackend(HidBackend &inner, QString port, Locator locator)
    : m_inner(inner)
    , m_port(std::move(port))
    , m_locator(std::move(locator))
{
}

std::vector<std::string> PortFilterBackend::enumerate(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::string> kept;
    for (std::string &path : m_inner.enumerate(vendorId, productId)) {
        if (m_locator(path) == m_port)
            kept.push_back(std::move(path));
    }
    return kept;
}
