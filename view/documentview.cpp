#include "documentview.h"

#include "shell/twips.h"

#include <cmath>

DocumentView::DocumentView(QWidget *parent)
    : QWidget(parent)
{
}

static bool isPosition(float twips)
{
    return std::isfinite(twips) && std::abs(twips) <= 1e7f;
}

static bool isExtent(float twips)
{
    return isPosition(twips) && twips >= 0;
}

bool DocumentView::setLeft(float twips)
{
    return setFrameValue(m_left, twips, isPosition(twips));
}

bool DocumentView::setTop(float twips)
{
    return setFrameValue(m_top, twips, isPosition(twips));
}

bool DocumentView::setWidth(float twips)
{
    return setFrameValue(m_width, twips, isExtent(twips));
}

bool DocumentView::setHeight(float twips)
{
    return setFrameValue(m_height, twips, isExtent(twips));
}

// A refused value leaves the frame as it was.
bool DocumentView::setFrameValue(float &member, float twips, bool valid)
{
    if (!valid)
        return false;
    member = twips;
    applyFrame();
    return true;
}

void DocumentView::applyFrame()
{
    setGeometry(Twips::toPixels(m_left), Twips::toPixels(m_top),
                Twips::toPixels(m_width), Twips::toPixels(m_height));
}
