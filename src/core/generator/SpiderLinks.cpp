#include "core/generator/SpiderLinks.h"

namespace vantiro {

SpiderLinks SpiderLinks::fromText(std::string text)
{
    SpiderLinks links;
    links.text_ = std::move(text);
    links.fromBuilder_ = false;
    return links;
}

void SpiderLinks::clear()
{
    text_.clear();
    slots_.clear();
    fromBuilder_ = true;
}

bool SpiderLinks::isShaped() const
{
    return fromBuilder_ && text_.size() >= 2 && text_.compare(0, 2, "<A") == 0 &&
           text_.back() == ' ';
}

} // namespace vantiro
