// The map window's distance tool: opening "&Distance" starts measuring; its items choose the
// unit of the caption.
#include "mapwindow/MapFrm.h"

#include <QMenu>

namespace corvane {

void TMapFrm::ConnectDistanceMenu()
{
    connect(Menu.Distance1, &QMenu::aboutToShow, this, &TMapFrm::Distance1Click);
    connect(Menu.NauticalMiles1, &QAction::triggered, this, &TMapFrm::NauticalMiles1Click);
    connect(Menu.Kilometres1, &QAction::triggered, this, &TMapFrm::Kilometres1Click);
    connect(Menu.StatuteMiles1, &QAction::triggered, this, &TMapFrm::StatuteMiles1Click);
}

namespace {

// Checks one unit and unchecks the other two.
void CheckUnit(const MapWindowMenu& m, DistanceUnit unit)
{
    m.NauticalMiles1->setChecked(unit == DistanceUnit::NauticalMiles);
    m.Kilometres1->setChecked(unit == DistanceUnit::Kilometres);
    m.StatuteMiles1->setChecked(unit == DistanceUnit::StatuteMiles);
}

} // namespace

void TMapFrm::NauticalMiles1Click()
{
    SetDistanceUnit(DistanceUnit::NauticalMiles);
    CheckUnit(Menu, Unit);
}

void TMapFrm::Kilometres1Click()
{
    SetDistanceUnit(DistanceUnit::Kilometres);
    CheckUnit(Menu, Unit);
}

void TMapFrm::StatuteMiles1Click()
{
    SetDistanceUnit(DistanceUnit::StatuteMiles);
    CheckUnit(Menu, Unit);
}

void TMapFrm::EndDistanceMeasurement() { MapInteraction::EndDistanceMeasurement(); }

} // namespace corvane
