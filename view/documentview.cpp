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
    if (!isPosition(twips))
        return false;
    m_left = twips;
    applyFrame();
    return true;
}

bool DocumentView::setTop(float twips)
{
    if (!isPosition(twips))
        return false;
    m_top = twips;
    applyFrame();
    return true;
}

bool DocumentView::setWidth(float twips)
{
    if (!isExtent(twips))
        return false;
    m_width = twips;
    applyFrame();
    return true;
}

bool DocumentView::setHeight(float twips)
{
    if (!isExtent(twips))
        return false;
    m_height = twips;
    applyFrame();
    return true;
}

void DocumentView::applyFrame()
{
    setGeometry(Twips::toPixels(m_left), Twips::toPixels(m_top),
                Twips::toPixels(m_width), Twips::toPixels(m_height));
}
