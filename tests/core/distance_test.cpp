#include "layers/Distance.h"
#include "layers/Trig.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;

TEST(Distance, OneDegreeIsSixtyMilesWithTheProgramsOwnConstants)
{
    // The two angle factors multiply to 1.0000000000018, so a degree is a hair over 60.
    double meridian = Great_Circle_NM(0.0, 0.0, 1.0, 0.0);
    EXPECT_NEAR(meridian, 60.0000000001, 2e-11);
    EXPECT_GT(meridian, 60.00000000005);
    EXPECT_NEAR(Great_Circle_NM(0.0, 0.0, 0.0, 1.0), meridian, 1e-11);   // along the equator
    EXPECT_NEAR(NM_To_Kilometres(meridian), 111.11111112, 1e-8);
    EXPECT_NEAR(NM_To_Statute_Miles(meridian), 69.04676706, 1e-8);
    EXPECT_NEAR(DegreesToRadians(180.0), 3.1415926536, 1e-10);
    EXPECT_NEAR(RadiansToDegrees(1.0), 57.295779513, 1e-9);
}

TEST(Distance, IdenticalPointsAndAntipodesStayFinite)
{
    EXPECT_EQ(Great_Circle_NM(51.5, -0.1, 51.5, -0.1), 0.0);
    EXPECT_EQ(Great_Circle_NM(90.0, 0.0, 90.0, 0.0), 0.0);
    // Half the globe, whichever way round; the arcsine argument may round past 1.
    for (double lat : {0.0, 45.0, 89.999})
        EXPECT_NEAR(Great_Circle_NM(lat, 10.0, -lat, -170.0), 10800.0, 1e-4);
    EXPECT_DOUBLE_EQ(ArcSin(1.0000000001), ArcSin(1.0));
    EXPECT_NEAR(ArcSin(0.5), std::asin(0.5), 1e-11);
}

TEST(Distance, RouteStoreRefusesThe513thPoint)
{
    DistanceStore s;
    for (int i = 0; i < DistanceStore::MaxPoints; ++i) ASSERT_TRUE(s.Add(i, 2 * i));
    EXPECT_FALSE(s.Add(1, 1));
    EXPECT_EQ(s.LastY(), 1022);
    s.RemoveLast();
    EXPECT_EQ(s.LastX(), 510);
}
