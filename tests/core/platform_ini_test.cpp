#include "platform/Ini.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(Ini, VerbatimValuesKeepTheirBlanksInTheFileOnly)
{
    IniFile ini;
    ini.WriteStringVerbatim("Lat_Lon", "Lat", " 4.5E+0001  6.5E+0001");
    ini.WriteString("Lat_Lon", "Lon", "  trimmed  ");
    EXPECT_EQ(ini.ToText(), "[Lat_Lon]\r\nLat= 4.5E+0001  6.5E+0001\r\nLon=trimmed\r\n");
    EXPECT_EQ(ini.ReadString("lat_lon", "LAT", ""), "4.5E+0001  6.5E+0001");
}

TEST(Ini, LookupsStayRightAfterKeysAndSectionsAreRemoved)
{
    std::string text;
    for (int s = 0; s < 3; ++s) {
        text += "[S" + std::to_string(s) + "]\n";
        for (int k = 0; k < 2000; ++k) text += "K" + std::to_string(k) + "=" + std::to_string(s * 10000 + k) + "\n";
    }
    text += "[s1]\nK5=dup\n";   // a repeated section adds to the first; the first of equal keys wins
    IniFile ini = IniFile::FromText(text);
    EXPECT_EQ(ini.ReadInteger("S1", "k1999", 0), 11999);
    EXPECT_EQ(ini.ReadInteger("S1", "K5", 0), 10005);
    ini.DeleteKey("s1", "K0");
    EXPECT_EQ(ini.ReadInteger("S1", "K1", 0), 10001);
    ini.EraseSection("S0");
    EXPECT_EQ(ini.ReadInteger("S2", "K7", 0), 20007);
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S1", "S2"}));
}

TEST(Ini, IntegersInHexadecimalOfEitherCaseAndBadOnesTakeTheDefault)
{
    IniFile ini = IniFile::FromText("[C]\nlow=$00ff00\nup=$00FF00\nx=0xff\nall=$FFFFFFFF\nneg=-12\nbad=$g0\nbig=4294967296\n");
    EXPECT_EQ(ini.ReadInteger("C", "low", 0), 65280);
    EXPECT_EQ(ini.ReadInteger("C", "up", 0), 65280);
    EXPECT_EQ(ini.ReadInteger("C", "x", 0), 255);
    EXPECT_EQ(ini.ReadInteger("C", "all", 0), -1);
    EXPECT_EQ(ini.ReadInteger("C", "neg", 0), -12);
    EXPECT_EQ(ini.ReadInteger("C", "bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("C", "big", 7), 7);
}
