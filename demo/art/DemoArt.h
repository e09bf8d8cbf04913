#pragma once
// The illustrations of the demo catalogue, one painter per atlas. A picture depends only on its
// subject, the view (which of the entry's pictures) and the size, so the same call gives the same
// pixels on every run.
#include "demo/art/DemoSubjects.h"

#include <QImage>
#include <QSize>
#include <QString>

constexpr int kHerbViews = 7;
constexpr int kItemViews = 4;

// What view k of each atlas shows; also the caption's second part.
QString HerbViewName(const TDemoHerb &herb, int view);
QString AcupointViewName(int view);
QString InspectionViewName(int view);
QString AnatomyViewName(int view);
QString ClinicalViewName(const TDemoClinical &picture, int view);

// The orientation that suits a view best (true: wider than tall).
bool HerbViewIsLandscape(int view);
bool AcupointViewIsLandscape(int view);

QImage DrawHerbPicture(const TDemoHerb &herb, int view, QSize size);
QImage DrawAcupointPicture(const TDemoAcupoint &point, int view, QSize size);
QImage DrawInspectionPicture(const TDemoInspection &sign, int view, QSize size);
QImage DrawAnatomyPicture(const TDemoAnatomy &organ, int view, QSize size);
QImage DrawClinicalPicture(const TDemoClinical &picture, int view, QSize size);
