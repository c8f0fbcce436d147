#pragma once
// Great-circle distances in nautical miles with their conversions, and the store of the
// route being measured on the map (one measurement at a time in the whole program).
#include <cstdint>
#include <string>

namespace corvane {

// Distance between two positions in decimal degrees (north and east positive), in nautical
// miles: the central angle in minutes of arc. Identical positions give exactly 0.
double Great_Circle_NM(double lat1, double lon1, double lat2, double lon2);
double NM_To_Kilometres(double NM);      // NM x 1.851851852
double NM_To_Statute_Miles(double NM);   // NM x 1.150779451

// The route being measured: picture positions of its points in order, the total so far and
// the last leg, and the caption the map window had before measuring began.
struct DistanceStore {
    static constexpr int MaxPoints = 512;

    int16_t Store_X[MaxPoints] = {};   // point n (1-based) is at index n - 1
    int16_t Store_Y[MaxPoints] = {};
    int16_t Store_Index = 0;           // number of points stored, 0..MaxPoints
    double Running_Total = 0.0;        // nautical miles
    double NM = 0.0;                   // last leg, nautical miles
    std::string OldCaption;            // at most 255 characters

    // Appends a point; a full store refuses it (false).
    bool Add(int x, int y);
    // Drops the last point (nothing when empty).
    void RemoveLast();
    // Empties the route and its total.
    void Clear();
    int LastX() const { return Store_Index > 0 ? Store_X[Store_Index - 1] : 0; }
    int LastY() const { return Store_Index > 0 ? Store_Y[Store_Index - 1] : 0; }
};

// The program's one route store.
extern DistanceStore RouteStore;

} // namespace corvane
