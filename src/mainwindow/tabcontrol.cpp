#include "mainwindow/tabcontrol.h"

#include "ui/widgets.h"

#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

TabControl::TabControl(QWidget *parent)
    : QTabWidget(parent)
{
    tabBar()->setUsesScrollButtons(false);
    tabBar()->setElideMode(Qt::ElideNone);
    tabBar()->setExpanding(false);
    QPalette tabs = tabBar()->palette();
    tabs.setColor(QPalette::Window, colors::DarkRed);
    tabs.setColor(QPalette::Button, colors::DarkRed);
    tabBar()->setPalette(tabs);
    setTextColor(tabBar(), Qt::white);
    setAccessibleName(QStringLiteral("Výběr znaku"));
}

QPoint TabControl::pageOrigin() const
{
    QStyleOptionTabWidgetFrame opt;
    initStyleOption(&opt);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &opt, this).topLeft();
}

void TabControl::addCanvasPage(QWidget *canvas, const QString &caption)
{
    QWidget *page = canvas->parentWidget();
    paintBackground(page, colors::DarkRed);
    addTab(page, caption);
    m_canvases << canvas;
    placeCanvases();
}

void TabControl::placeCanvases()
{
    const QPoint origin = pageOrigin();
    for (QWidget *canvas : std::as_const(m_canvases))
        canvas->setGeometry(QRect(-origin, size()));
}

void TabControl::resizeEvent(QResizeEvent *e)
{
    QTabWidget::resizeEvent(e);
    placeCanvases();
}

void TabControl::showEvent(QShowEvent *e)
{
    QTabWidget::showEvent(e);
    placeCanvases();
}
