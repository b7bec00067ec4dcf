#include "framework/CTimeCounter.h"

#include <utility>

CTimeCounter::CTimeCounter(std::string description) : m_description(std::move(description))
{
}

std::string CTimeCounter::getDescription() const
{
    return m_description;
}

std::string CTimeCounter::getTotalStr() const
{
    return "TODO!!!";
}
