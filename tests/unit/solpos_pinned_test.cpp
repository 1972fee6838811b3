#include "solar/solpos.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Every float result of a full call, pinned to the last bit. The mix of
// single- and double-precision steps is what these values check: a changed
// grouping, a lost rounding or a wider intermediate moves some of them.
struct Field { const char *name; float solar_record::*member; };
#define PINNED_FIELD(f) Field{#f, &solar_record::f}
const Field kFields[] = {
    PINNED_FIELD(julian_day), PINNED_FIELD(days_since_epoch), PINNED_FIELD(universal_time),
    PINNED_FIELD(day_angle), PINNED_FIELD(distance_factor), PINNED_FIELD(mean_longitude),
    PINNED_FIELD(mean_anomaly), PINNED_FIELD(ecliptic_longitude), PINNED_FIELD(obliquity),
    PINNED_FIELD(declination), PINNED_FIELD(right_ascension), PINNED_FIELD(greenwich_sidereal_hours),
    PINNED_FIELD(local_sidereal_angle), PINNED_FIELD(hour_angle), PINNED_FIELD(zenith_no_refraction),
    PINNED_FIELD(elevation_no_refraction), PINNED_FIELD(sunset_hour_angle), PINNED_FIELD(shadowband_factor),
    PINNED_FIELD(true_solar_time), PINNED_FIELD(solar_time_offset), PINNED_FIELD(equation_of_time),
    PINNED_FIELD(sunrise_minutes), PINNED_FIELD(sunset_minutes), PINNED_FIELD(solar_azimuth),
    PINNED_FIELD(elevation_refracted), PINNED_FIELD(zenith_refracted), PINNED_FIELD(cos_zenith),
    PINNED_FIELD(air_mass), PINNED_FIELD(air_mass_pressure), PINNED_FIELD(prime_denominator),
    PINNED_FIELD(prime_factor), PINNED_FIELD(etr_normal), PINNED_FIELD(etr_horizontal),
    PINNED_FIELD(cos_incidence), PINNED_FIELD(etr_tilted),
};
#undef PINNED_FIELD
constexpr int kFieldCount = sizeof kFields / sizeof kFields[0];

// by_day_of_year: the date is given as day of year (month and day_of_month are
// then expected results); otherwise as month and day (day_of_year expected).
struct Pinned {
    bool by_day_of_year;
    int year, month, day_of_month, day_of_year, hour, minute, second, interval_seconds;
    float timezone_hours, latitude, longitude, surface_aspect, surface_tilt, temperature, pressure;
    float expected[kFieldCount];  // in the order of kFields
};

// Expected values computed by a separately written, independent implementation
// of the engine, and cross-checked bit for bit against this one.
const Pinned kCases[] = {
    // The built-in instant test's case.
    {true, 1999, 7, 22, 203, 9, 45, 37, 0, -5.0f, 33.65f, -84.43f, 135.0f, 33.65f, 27.0f, 1006.0f,
     {0x1.916c3ap+15f, -0x1.45c6p+7f, 0x1.d85432p+3f, 0x1.8e773cp+7f, 0x1.ef9c26p-1f,
      0x1.dfa5p+6f, 0x1.89f93ep+7f, 0x1.dd738cp+6f, 0x1.77066ap+4f, 0x1.448aeep+4f,
      0x1.e611c4p+6f, 0x1.582402p+3f, 0x1.338b32p+6f, -0x1.650d24p+5f, 0x1.4cd3eep+5f,
      0x1.832c12p+5f, 0x1.a0f808p+6f, 0x1.33b064p+0f, 0x1.0ebcb8p+9f, -0x1.61236ep+5f,
      -0x1.9b06fp+2f, 0x1.5b2c66p+8f, 0x1.27471ep+10f, 0x1.8421aap+6f, 0x1.83478ap+5f,
      0x1.4cb876p+5f, 0x1.7eee7ap-1f, 0x1.55f3d8p+0f, 0x1.5396eep+0f, 0x1.edb68cp-1f,
      0x1.097b6ep+0f, 0x1.4acf5ap+10f, 0x1.eed592p+9f, 0x1.d33c36p-1f, 0x1.2de308p+10f}},
    // 24:00:00, the midnight ending the date: sun down, air mass sentinel.
    {true, 1999, 7, 22, 203, 24, 0, 0, 0, -5.0f, 33.65f, -84.43f, 135.0f, 33.65f, 27.0f, 1006.0f,
     {0x1.916d6ap+15f, -0x1.4496p+7f, 0x1.dp+4f, 0x1.8e773cp+7f, 0x1.ef9c26p-1f,
      0x1.e1fc46p+6f, 0x1.8b24dep+7f, 0x1.dfb80ap+6f, 0x1.770668p+4f, 0x1.42a40cp+4f,
      0x1.e86ea4p+6f, 0x1.087b6p+0f, 0x1.231126p+8f, 0x1.51eafap+7f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x1.a0991cp+6f, 0x1.33bd4p+0f, 0x1.5cf57cp+10f, -0x1.61508p+5f,
      -0x1.9c6f8p+2f, 0x1.5b90f4p+8f, 0x1.2730ccp+10f, 0x1.2da608p+8f, -0x1.1ee864p+3f,
      0x1.8bdd0cp+6f, -0x1.3f2c2ap-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, -0x1.531726p-1f, 0x0p+0f}},
    // 24:00:00 under the midnight sun.
    {true, 2003, 6, 21, 172, 24, 0, 0, 0, 1.0f, 78.22f, 15.65f, 0.0f, 20.0f, 2.0f, 1010.0f,
     {0x1.9c98eap+15f, 0x1.3cdd4p+10f, 0x1.7p+4f, 0x1.5150a8p+7f, 0x1.ef54a8p-1f,
      0x1.66e726p+6f, 0x1.4d77d2p+7f, 0x1.689ffcp+6f, 0x1.770412p+4f, 0x1.7703b2p+4f,
      0x1.68ae6p+6f, 0x1.0fb544p+4f, 0x1.0e6056p+8f, -0x1.679684p+7f, 0x1.395db8p+6f,
      0x1.75124p+3f, 0x1.68p+7f, 0x1.356018p+0f, 0x1.a5fp-1f, 0x1.a5fp-1f,
      -0x1.c6a18p+0f, -0x1.76ep+11f, 0x1.76ep+11f, 0x1.952364p-3f, 0x1.7791ap+3f,
      0x1.390dccp+6f, 0x1.a0964p-3f, 0x1.33c388p+2f, 0x1.32da34p+2f, 0x1.76748ep-1f,
      0x1.5e08a6p+0f, 0x1.4a9fa2p+10f, 0x1.0d02bap+8f, 0x1.0d5172p-1f, 0x1.5bd2ecp+9f}},
    // Ends of the year range: angles far from the epoch wrap many times.
    {true, 1950, 1, 1, 1, 0, 0, 1, 0, 12.0f, -41.29f, 174.78f, 0.0f, 15.0f, 18.0f, 1013.0f,
     {0x1.0404p+15f, -0x1.1d5cp+14f, -0x1.7ffdbap+3f, 0x0p+0f, 0x1.08f908p+0f,
      0x1.1794ep+8f, 0x1.65827ep+8f, 0x1.177f22p+8f, 0x1.77241p+4f, -0x1.71b2f8p+4f,
      0x1.185568p+8f, 0x1.2a39e4p+4f, 0x1.7977dp+6f, 0x1.5c1118p+7f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x1.c00602p+6f, 0x1.329cap+0f, 0x1.62088cp+10f, -0x1.7e218p+4f,
      -0x1.8068p+1f, 0x1.27dc16p+8f, 0x1.29fa06p+10f, 0x1.c830cap+7f, -0x1.1eddbep+3f,
      0x1.8bdbb8p+6f, -0x1.3f207ep-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, -0x1.48fap-2f, 0x0p+0f}},
    {true, 1950, 1, 1, 1, 12, 0, 0, 0, 0.0f, 51.48f, 0.0f, 180.0f, 30.0f, 5.0f, 1013.0f,
     {0x1.0406p+15f, -0x1.1d58p+14f, 0x1.8p+3f, 0x0p+0f, 0x1.08f908p+0f,
      0x1.189134p+8f, 0x1.667ecep+8f, 0x1.18841p+8f, 0x1.77241p+4f, -0x1.70794p+4f,
      0x1.197036p+8f, 0x1.2b45e6p+4f, 0x1.189188p+8f, -0x1.bd5cp-1f, 0x1.2a0ddap+6f,
      0x1.ef913p+3f, 0x1.cdc776p+5f, 0x1.0fb8dap+0f, 0x1.6642a4p+9f, -0x1.bd5cp+1f,
      -0x1.bd5cp+1f, 0x1.ec96fcp+8f, 0x1.dd2f3ap+9f, 0x1.6656f6p+7f, 0x1.f16f7p+3f,
      0x1.29d212p+6f, 0x1.126caap-2f, 0x1.d7cdb8p+1f, 0x1.d7cdb8p+1f, 0x1.9301b6p-1f,
      0x1.453c3cp+0f, 0x1.61ba72p+10f, 0x1.7b2fb4p+8f, 0x1.6d706cp-1f, 0x1.f8f22cp+9f}},
    {true, 2050, 12, 31, 365, 23, 59, 59, 0, -12.0f, -14.27f, -170.7f, 270.0f, 10.0f, 28.0f, 1008.0f,
     {0x1.121dp+16f, 0x1.231p+14f, 0x1.1fff6ep+5f, 0x1.670382p+8f, 0x1.08f71p+0f,
      0x1.19198ap+8f, 0x1.654a56p+8f, 0x1.1901e2p+8f, 0x1.76e7ap+4f, -0x1.6f9ba4p+4f,
      0x1.19f82p+8f, 0x1.2bd5d2p+4f, 0x1.b99508p+6f, -0x1.5725bcp+7f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x1.80c2fp+6f, 0x1.2ec6fep+0f, 0x1.0da44p+5f, 0x1.0dc68p+5f,
      -0x1.bd32p+1f, 0x1.2d844p+8f, 0x1.0bc288p+10f, 0x1.d27ab8p+6f, -0x1.1ee8c4p+3f,
      0x1.8bdd18p+6f, -0x1.3f2c98p-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, -0x1.3a2ff6p-2f, 0x0p+0f}},
    {true, 2050, 6, 30, 181, 13, 30, 0, 0, -7.0f, 44.05f, -123.09f, 200.0f, 25.0f, 30.0f, 990.0f,
     {0x1.11645ap+16f, 0x1.202d68p+14f, 0x1.48p+4f, 0x1.631188p+7f, 0x1.eef166p-1f,
      0x1.8c67f4p+6f, 0x1.5e9a06p+7f, 0x1.8d0542p+6f, 0x1.76e7eep+4f, 0x1.71bd78p+4f,
      0x1.90484ep+6f, 0x1.e36a9cp+3f, 0x1.9e0bbcp+6f, 0x1.b86dcp+1f, 0x1.521a7p+4f,
      0x1.137964p+6f, 0x1.c985bap+6f, 0x1.329ad6p+0f, 0x1.6ee1b8p+9f, -0x1.30f24p+6f,
      -0x1.f034p+1f, 0x1.52b6d6p+8f, 0x1.397092p+10f, 0x1.799dap+7f, 0x1.137f38p+6f,
      0x1.52032p+4f, 0x1.dd96dcp-1f, 0x1.12515ep+0f, 0x1.0c16eap+0f, 0x1.fbf038p-1f,
      0x1.020c0cp+0f, 0x1.4a5d6p+10f, 0x1.342956p+10f, 0x1.fd58c8p-1f, 0x1.48a71ep+10f}},
    // Odd intervals, so half an interval is not whole seconds; the longest interval.
    {true, 1987, 2, 14, 45, 10, 17, 3, 1, -8.0f, 45.52f, -122.68f, 160.0f, 12.5f, 8.0f, 1020.0f,
     {0x1.6df286p+15f, -0x1.25fbdp+12f, 0x1.248b6p+4f, 0x1.5b2d96p+5f, 0x1.06a616p+0f,
      0x1.443b8cp+8f, 0x1.4c2d5p+5f, 0x1.45859ep+8f, 0x1.770ddap+4f, -0x1.a07432p+3f,
      0x1.47c98ep+8f, 0x1.f325ap+1f, 0x1.27d054p+8f, -0x1.ff93ap+4f, 0x1.050f2ep+6f,
      0x1.8bc348p+4f, 0x1.318c48p+6f, 0x1.1b935ep+0f, 0x1.280d8cp+9f, -0x1.8ef92ap+4f,
      -0x1.c6e814p+3f, 0x1.b7634ap+8f, 0x1.069ef6p+10f, 0x1.22c5aep+7f, 0x1.8c53f8p+4f,
      0x1.04eb02p+6f, 0x1.ad0a4ep-2f, 0x1.30288cp+1f, 0x1.32429cp+1f, 0x1.bedab2p-1f,
      0x1.255252p+0f, 0x1.5ea038p+10f, 0x1.25d04ep+9f, 0x1.32cd1p-1f, 0x1.a4346p+9f}},
    {true, 2021, 10, 27, 300, 14, 0, 1, 3601, 2.0f, 59.91f, 10.75f, 225.0f, 40.0f, -5.0f, 1030.0f,
     {0x1.d0f5f6p+15f, 0x1.f21fbp+12f, 0x1.700124p+3f, 0x1.26e774p+8f, 0x1.034944p+0f,
      0x1.b019dep+7f, 0x1.24be3ep+8f, 0x1.ac8a52p+7f, 0x1.76f916p+4f, -0x1.9e2056p+3f,
      0x1.a8068ep+7f, 0x1.bce9b8p+3f, 0x1.b69b1cp+7f, 0x1.d291cp+2f, 0x1.245a42p+6f,
      0x1.0e96f8p+4f, 0x1.0a8b3cp+6f, 0x1.129372p+0f, 0x1.76948ep+9f, -0x1.e6c832p+5f,
      0x1.026f9cp+4f, 0x1.0126e6p+9f, 0x1.05d91p+10f, 0x1.76da92p+7f, 0x1.0f7d68p+4f,
      0x1.2420a6p+6f, 0x1.2ad7fep-2f, 0x1.b22a42p+1f, 0x1.b9738p+1f, 0x1.9bb586p-1f,
      0x1.3e5c58p+0f, 0x1.5a230ep+10f, 0x1.9410dap+8f, 0x1.6bf37ap-1f, 0x1.ec18eap+9f}},
    {true, 1962, 4, 10, 100, 8, 0, 0, 28800, -6.0f, 19.43f, -99.13f, 90.0f, 20.0f, 22.0f, 780.0f,
     {0x1.2709d6p+15f, -0x1.aea0a8p+13f, 0x1.4p+3f, 0x1.86934ap+6f, 0x1.fe028p-1f,
      0x1.2287p+4f, 0x1.7f8008p+6f, 0x1.40f0f6p+4f, 0x1.771cb8p+4f, 0x1.f5f4c2p+2f,
      0x1.285352p+4f, 0x1.735ea6p+4f, 0x1.f20ee8p+7f, -0x1.02fb82p+7f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x1.7323f2p+6f, 0x1.373172p+0f, 0x1.9411f8p+7f, -0x1.2fb82p+5f,
      -0x1.71e6p+0f, 0x1.82d312p+8f, 0x1.1a46bep+10f, 0x1.394bf6p+6f, -0x1.1f2388p+3f,
      0x1.8be47p+6f, -0x1.3f6d6ap-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, 0x1.7967acp-3f, 0x0p+0f}},
    {true, 2033, 8, 8, 220, 16, 44, 59, 59, -3.0f, -34.6f, -58.38f, 315.0f, 33.0f, 14.0f, 1015.0f,
     {0x1.f294a6p+15f, 0x1.7f8a98p+13f, 0x1.3bdd4cp+4f, 0x1.bp+7f, 0x1.f1a5bep-1f,
      0x1.13429ep+7f, 0x1.ac3d74p+7f, 0x1.112626p+7f, 0x1.76f20ap+4f, 0x1.fbb1aep+3f,
      0x1.160e5ep+7f, 0x1.0eab8ap+4f, 0x1.86bf14p+7f, 0x1.c2c2d8p+5f, 0x1.261beap+6f,
      0x1.079058p+4f, 0x1.3ac5fap+6f, 0x1.1f72bcp+0f, 0x1.d8b0b6p+9f, -0x1.d8e38ep+5f,
      -0x1.65d4bp+2f, 0x1.d05678p+8f, 0x1.11789ap+10f, 0x1.2f6398p+8f, 0x1.086a38p+4f,
      0x1.25e572p+6f, 0x1.2346aep-2f, 0x1.bd2df8p+1f, 0x1.be0efap+1f, 0x1.991a26p-1f,
      0x1.4063b2p+0f, 0x1.4c2b82p+10f, 0x1.79f12ap+8f, 0x1.8001fcp-1f, 0x1.f243d6p+9f}},
    // Fractional time zones.
    {true, 2005, 3, 21, 80, 11, 11, 11, 0, 5.5f, 28.61f, 77.21f, 180.0f, 28.6f, 35.0f, 990.0f,
     {0x1.a1957ap+15f, 0x1.dc6f4p+10f, 0x1.6bedccp+2f, 0x1.37abd6p+6f, 0x1.0205cp+0f,
      0x1.66d892p+8f, 0x1.2f4cp+6f, 0x1.6ca074p-1f, 0x1.770306p+4f, 0x1.220fd4p-2f,
      0x1.4e8b3ep-1f, 0x1.19c07ap+4f, 0x1.555a34p+8f, -0x1.34d12p+4f, 0x1.0e753cp+5f,
      0x1.c18ac4p+5f, 0x1.689e38p+6f, 0x1.320a86p+0f, 0x1.4165dcp+9f, -0x1.c6336ep+4f,
      -0x1.ce9038p+2f, 0x1.83c4fep+8f, 0x1.15405cp+10f, 0x1.1f1c52p+7f, 0x1.c19ea2p+5f,
      0x1.0e615ep+5f, 0x1.a979ecp-1f, 0x1.33d7b2p+0f, 0x1.2cda6p+0f, 0x1.f4c016p-1f,
      0x1.05c04ep+0f, 0x1.58732ep+10f, 0x1.1e3da2p+10f, 0x1.e33b6ap-1f, 0x1.4518ap+10f}},
    {true, 1975, 12, 21, 355, 12, 30, 0, 0, -3.5f, 47.56f, -52.71f, 170.0f, 45.0f, -12.0f, 1002.0f,
     {0x1.4e2056p+15f, -0x1.1246a8p+13f, 0x1p+4f, 0x1.5d2694p+8f, 0x1.08bbf4p+0f,
      0x1.0d992cp+8f, 0x1.5b1468p+8f, 0x1.0d2954p+8f, 0x1.771486p+4f, -0x1.7709ap+4f,
      0x1.0d1604p+8f, 0x1.5f9294p+4f, 0x1.14e3a8p+8f, 0x1.f369p+2f, 0x1.1d633ap+6f,
      0x1.2a7318p+4f, 0x1.ed918ap+5f, 0x1.115798p+0f, 0x1.779b48p+9f, 0x1.369p+0f,
      0x1.06cdp+1f, 0x1.d800acp+8f, 0x1.e2c91ap+9f, 0x1.771c0ap+7f, 0x1.2b42ecp+4f,
      0x1.1d2f44p+6f, 0x1.485f6cp-2f, 0x1.8be3e8p+1f, 0x1.879762p+1f, 0x1.a52e9p-1f,
      0x1.373352p+0f, 0x1.6168e8p+10f, 0x1.c55224p+8f, 0x1.bb0bd4p-1f, 0x1.31d06ep+10f}},
    {true, 2044, 1, 15, 15, 15, 20, 45, 0, 9.5f, -34.93f, 138.6f, 0.0f, 35.0f, 31.0f, 1011.0f,
     {0x1.082dbep+16f, 0x1.f6a5fp+13f, 0x1.762222p+2f, 0x1.b9dceep+3f, 0x1.08c938p+0f,
      0x1.265826p+8f, 0x1.54f382p+3f, 0x1.26b4a6p+8f, 0x1.76ebcap+4f, -0x1.52d9d6p+4f,
      0x1.28a152p+8f, 0x1.af0054p+3f, 0x1.54a1c2p+8f, 0x1.60038p+5f, 0x1.4690b4p+5f,
      0x1.896f4cp+5f, 0x1.a6cbap+6f, 0x1.335322p+0f, 0x1.c000ep+9f, -0x1.8be4p+4f,
      -0x1.2495p+3f, 0x1.41f2ap+8f, 0x1.23e278p+10f, 0x1.15b968p+8f, 0x1.8989ccp+5f,
      0x1.467634p+5f, 0x1.838952p-1f, 0x1.51e694p+0f, 0x1.513bcap+0f, 0x1.ee88fp-1f,
      0x1.090a7cp+0f, 0x1.617a9ep+10f, 0x1.0b8cfcp+10f, 0x1.573f14p-1f, 0x1.d9f262p+9f}},
    {true, 1999, 9, 7, 250, 6, 30, 30, 0, 5.75f, 27.7f, 85.32f, 120.0f, 18.0f, 20.0f, 870.0f,
     {0x1.91c91p+15f, -0x1.d1ep+6f, 0x1.844444p-1f, 0x1.eb2d96p+7f, 0x1.f80176p-1f,
      0x1.4b5364p+7f, 0x1.e57904p+7f, 0x1.47f42cp+7f, 0x1.770656p+4f, 0x1.936cdp+2f,
      0x1.4a7a56p+7f, 0x1.7cd75p+4f, 0x1.496f1ap+6f, -0x1.4b8592p+6f, 0x1.43259ap+6f,
      0x1.26d33p+3f, 0x1.754c8p+6f, 0x1.355a4p+0f, 0x1.847a6ep+8f, -0x1.02c9p+1f,
      0x1.b2cp+0f, 0x1.5cb912p+8f, 0x1.11d484p+10f, 0x1.5eb8f4p+6f, 0x1.2959cep+3f,
      0x1.42d4c6p+6f, 0x1.4ab0aap-3f, 0x1.7ea934p+2f, 0x1.48a486p+2f, 0x1.5ed436p-1f,
      0x1.759b48p+0f, 0x1.5069fap+10f, 0x1.b290c4p+7f, 0x1.a527cp-2f, 0x1.14b942p+9f}},
    {true, 2011, 5, 30, 150, 17, 5, 0, 0, -9.5f, -9.8f, -139.03f, 300.0f, 5.0f, 26.0f, 1012.0f,
     {0x1.b34138p+15f, 0x1.0479cp+12f, 0x1.a95556p+4f, 0x1.25eaf6p+7f, 0x1.f1d6d8p-1f,
      0x1.11036cp+6f, 0x1.224006p+7f, 0x1.155176p+6f, 0x1.76ff5p+4f, 0x1.5d905ap+4f,
      0x1.0e96ccp+6f, 0x1.32232ep+4f, 0x1.27f29ap+7f, 0x1.414e68p+6f, 0x1.53441ap+6f,
      0x1.4bbe6p+2f, 0x1.581d8cp+6f, 0x1.269b2cp+0f, 0x1.04539ap+10f, 0x1.04e68p+4f,
      0x1.369p+1f, 0x1.67940cp+8f, 0x1.05f3c8p+10f, 0x1.25420ep+8f, 0x1.552b34p+2f,
      0x1.52ad4cp+6f, 0x1.7c8a24p-4f, 0x1.38c00ep+3f, 0x1.387104p+3f, 0x1.2c0f48p-1f,
      0x1.b4d1dcp+0f, 0x1.4c4c48p+10f, 0x1.edf48ap+6f, 0x1.6e0a2cp-3f, 0x1.db2244p+7f}},
    {true, 1993, 4, 30, 120, 7, 0, 0, 0, 10.5f, -31.55f, 159.08f, 60.0f, 22.0f, 19.0f, 1016.0f,
     {0x1.7fa6b6p+15f, -0x1.30b4ap+11f, -0x1.cp+1f, 0x1.d57abep+6f, 0x1.f856acp-1f,
      0x1.2e6a8p+5f, 0x1.cbf074p+6f, 0x1.3c2e0ap+5f, 0x1.770a24p+4f, 0x1.d53ce2p+3f,
      0x1.28fb1ep+5f, 0x1.60a554p+3f, 0x1.4461fap+8f, -0x1.22f5a8p+6f, 0x1.4e3dap+6f,
      0x1.9c26p+2f, 0x1.4304a6p+6f, 0x1.228708p+0f, 0x1.ad0a58p+8f, 0x1.214bp+3f,
      0x1.5c36p+1f, 0x1.83f102p+8f, 0x1.027e94p+10f, 0x1.119212p+6f, 0x1.a44896p+2f,
      0x1.4dbb76p+6f, 0x1.d46f2p-4f, 0x1.059cb4p+3f, 0x1.06630ap+3f, 0x1.3dd43cp-1f,
      0x1.9c65d6p+0f, 0x1.50a2dap+10f, 0x1.33fdecp+7f, 0x1.e5949cp-2f, 0x1.3f43fap+9f}},
    // Southern hemisphere; both poles.
    {true, 1958, 12, 21, 355, 12, 0, 0, 0, 10.0f, -33.87f, 151.21f, 0.0f, -10.0f, 24.0f, 1009.0f,
     {0x1.1d9d2ap+15f, -0x1.d45358p+13f, 0x1p+1f, 0x1.5d2694p+8f, 0x1.08bbf4p+0f,
      0x1.0d22d8p+8f, 0x1.5ae8f2p+8f, 0x1.0cb18ep+8f, 0x1.771eb2p+4f, -0x1.77043cp+4f,
      0x1.0c9378p+8f, 0x1.fc51bp+2f, 0x1.0e58e8p+8f, 0x1.c57p+0f, 0x1.517924p+3f,
      0x1.3dd0dcp+6f, 0x1.abab98p+6f, 0x1.32152ep+0f, 0x1.6b8aep+9f, 0x1.c57p+2f,
      0x1.1f5ap+1f, 0x1.1d3ea8p+8f, 0x1.1d2576p+10f, 0x1.5f160ep+8f, 0x1.3dd3c8p+6f,
      0x1.5161cp+3f, 0x1.f75b26p-1f, 0x1.044dcep+0f, 0x1.0346acp+0f, 0x1.ff06c4p-1f,
      0x1.007cdap+0f, 0x1.6168e8p+10f, 0x1.5b717ap+10f, 0x1.dfa32ap-1f, 0x1.4b1244p+10f}},
    {true, 2017, 1, 10, 10, 20, 40, 0, 0, -3.0f, -54.8f, -68.3f, 350.0f, 60.0f, 9.0f, 995.0f,
     {0x1.c348f8p+15f, 0x1.84b7cp+12f, 0x1.7aaaaap+4f, 0x1.1c0e08p+3f, 0x1.08ea6ap+0f,
      0x1.22adb8p+8f, 0x1.dd08dcp+2f, 0x1.22eea2p+8f, 0x1.76fbf4p+4f, -0x1.5cea26p+4f,
      0x1.24a198p+8f, 0x1.c2e5a4p+2f, 0x1.2b082cp+5f, 0x1.a2fdb8p+6f, 0x1.4178eep+6f,
      0x1.34389p+3f, 0x1.f238ap+6f, 0x1.32012ep+0f, 0x1.1cbf6ep+10f, -0x1.94092p+6f,
      -0x1.f3c5p+2f, 0x1.42c9a8p+8f, 0x1.49cebap+10f, 0x1.eb33b4p+7f, 0x1.3719b6p+3f,
      0x1.411ccap+6f, 0x1.59d658p-3f, 0x1.6efdccp+2f, 0x1.687868p+2f, 0x1.63592cp-1f,
      0x1.70daep+0f, 0x1.61a6fp+10f, 0x1.ddc214p+7f, -0x1.05cc8cp-3f, 0x0p+0f}},
    {true, 1985, 1, 1, 1, 3, 0, 0, 0, 12.0f, -77.85f, 166.67f, 90.0f, 90.0f, -25.0f, 985.0f,
     {0x1.67e44p+15f, -0x1.566ep+12f, -0x1.2p+3f, 0x0p+0f, 0x1.08f908p+0f,
      0x1.18389ap+8f, 0x1.658c12p+8f, 0x1.18232ep+8f, 0x1.770f1ep+4f, -0x1.70dcd8p+4f,
      0x1.190722p+8f, 0x1.5ae744p+4f, 0x1.07c8aap+7f, -0x1.2a459ap+7f, 0x1.35f71ap+6f,
      0x1.90473p+3f, 0x1.68p+7f, 0x1.34f508p+0f, 0x1.edd33p+6f, -0x1.c459ap+5f,
      -0x1.9ca4p+1f, -0x1.76ep+11f, 0x1.76ep+11f, 0x1.2e2b98p+7f, 0x1.92cca4p+3f,
      0x1.35a66cp+6f, 0x1.be520ap-3f, 0x1.201c86p+2f, 0x1.1825d8p+2f, 0x1.7d9b6ep-1f,
      0x1.577942p+0f, 0x1.61ba72p+10f, 0x1.345a18p+8f, 0x1.e336a2p-2f, 0x1.4dd722p+9f}},
    {true, 2025, 3, 21, 80, 12, 0, 0, 0, 0.0f, 90.0f, 0.0f, 180.0f, 0.0f, -30.0f, 1013.0f,
     {0x1.daa8p+15f, 0x1.1fd8p+13f, 0x1.8p+3f, 0x1.37abd6p+6f, 0x1.0205cp+0f,
      0x1.67421ap+8f, 0x1.2f91c8p+6f, 0x1.1ff9f2p+0f, 0x1.76f70ep+4f, 0x1.ca1a84p-2f,
      0x1.0839f8p+0f, 0x1.7f3584p+4f, 0x1.67422cp+8f, -0x1.c60ep+0f, 0x1.6635e6p+6f,
      0x1.ca1ap-2f, 0x1.68p+7f, 0x1.0b33b2p+0f, 0x1.6473e4p+9f, -0x1.c60ep+2f,
      -0x1.c60ep+2f, -0x1.76ep+11f, 0x1.76ep+11f, 0x1.68p+7f, 0x1.e144f4p-1f,
      0x1.643d76p+6f, 0x1.0cc7bap-6f, 0x1.ad8bf6p+4f, 0x1.ad8bf6p+4f, 0x1.bee8fap-2f,
      0x1.2548f4p+1f, 0x1.58732ep+10f, 0x1.69a55p+4f, 0x1.0cc7bap-6f, 0x1.69a55p+4f}},
    {true, 1971, 7, 19, 200, 18, 0, 0, 0, 0.0f, -90.0f, 45.0f, 180.0f, 10.0f, -60.0f, 680.0f,
     {0x1.41808p+15f, -0x1.44c6p+13f, 0x1.2p+4f, 0x1.888c46p+7f, 0x1.ef6292p-1f,
      0x1.d37dfp+6f, 0x1.84dc68p+7f, 0x1.d19f24p+6f, 0x1.77172cp+4f, 0x1.4e0086p+4f,
      0x1.d9b028p+6f, 0x1.b954c8p+3f, 0x1.f7bf7cp+7f, 0x1.0ae768p+7f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x0p+0f, 0x1.0a3d7p+0f, 0x1.3973b4p+10f, 0x1.5b9dap+7f,
      -0x1.8c4cp+2f, 0x1.76ep+11f, -0x1.76ep+11f, 0x1.68p+7f, -0x1.1ef5cep+3f,
      0x1.8bdebap+6f, -0x1.3f3b0ap-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, 0x1.273aep-6f, 0x0p+0f}},
    // Tilts from -45 to 179, aspects from -360 to 360; sun above 85 degrees.
    {true, 2008, 12, 31, 366, 9, 0, 0, 0, 1.0f, 48.85f, 2.35f, -90.0f, 179.0f, 3.0f, 1025.0f,
     {0x1.ac5faap+15f, 0x1.9adaap+11f, 0x1p+3f, 0x1.68p+8f, 0x1.08f908p+0f,
      0x1.181e1p+8f, 0x1.6507d8p+8f, 0x1.180424p+8f, 0x1.7700c2p+4f, -0x1.70f45p+4f,
      0x1.18e56cp+8f, 0x1.d595cp+3f, 0x1.bcef98p+7f, -0x1.d36dp+5f, 0x1.62f1c2p+6f,
      0x1.438f8p+0f, 0x1.e6c7d2p+5f, 0x1.10f8f4p+0f, 0x1.e6498p+8f, -0x1.adb4p+5f,
      -0x1.8e733p+1f, 0x1.09294cp+9f, 0x1.fc8d34p+9f, 0x1.00b996p+7f, 0x1.9da8d8p+0f,
      0x1.61895cp+6f, 0x1.ce00a4p-6f, 0x1.5ad69cp+4f, 0x1.5ef26cp+4f, 0x1.d7ee7p-2f,
      0x1.15bc3cp+1f, 0x1.61ba72p+10f, 0x1.3f2faep+5f, -0x1.570652p-5f, 0x0p+0f}},
    {true, 1996, 2, 29, 60, 15, 45, 0, 0, 9.0f, 35.68f, 139.69f, 360.0f, 45.0f, 12.0f, 1018.0f,
     {0x1.87bd9p+15f, -0x1.5e8ep+10f, 0x1.bp+2f, 0x1.d188c4p+5f, 0x1.04dc28p+0f,
      0x1.525de2p+8f, 0x1.bc01ap+5f, 0x1.53f6bp+8f, 0x1.77087p+4f, -0x1.f5503ep+2f,
      0x1.558p+8f, 0x1.14ecdcp+4f, 0x1.3a7592p+5f, 0x1.ce759p+5f, 0x1.163d1cp+6f,
      0x1.470b9p+4f, 0x1.5152f2p+6f, 0x1.272646p+0f, 0x1.db9d64p+9f, 0x1.8eb2p+2f,
      -0x1.90f9p+3f, 0x1.787246p+8f, 0x1.06c60ap+10f, 0x1.e6f09p+7f, 0x1.47bb08p+4f,
      0x1.16113ep+6f, 0x1.665498p-2f, 0x1.6b554ap+1f, 0x1.6d2064p+1f, 0x1.adc878p-1f,
      0x1.30f8f2p+0f, 0x1.5c3ce6p+10f, 0x1.e7703cp+8f, -0x1.8cc5a8p-5f, 0x0p+0f}},
    {true, 2029, 8, 21, 233, 10, 10, 10, 0, -4.0f, 10.49f, -66.88f, -360.0f, -45.0f, 32.0f, 920.0f,
     {0x1.e7442ep+15f, 0x1.5248b8p+13f, 0x1.c56c16p+3f, 0x1.c9a4d2p+7f, 0x1.f40468p-1f,
      0x1.2c5d02p+7f, 0x1.c57ac6p+7f, 0x1.299d32p+7f, 0x1.76f468p+4f, 0x1.7c60ecp+3f,
      0x1.2de502p+7f, 0x1.85cf6cp+3f, 0x1.cf5fccp+6f, -0x1.18d47p+5f, 0x1.138b14p+5f,
      0x1.bc74ecp+5f, 0x1.70ef4p+6f, 0x1.360e3cp+0f, 0x1.21cae4p+9f, -0x1.e94e2ap+4f,
      -0x1.87e25p+1f, 0x1.7da5a2p+8f, 0x1.17e108p+10f, 0x1.50f3cap+6f, 0x1.bc8804p+5f,
      0x1.1377fcp+5f, 0x1.a649dap-1f, 0x1.36293ap+0f, 0x1.19afaep+0f, 0x1.f4436ap-1f,
      0x1.06018ap+0f, 0x1.4dc07p+10f, 0x1.1345cp+10f, 0x1.160cfcp-1f, 0x1.6a7fe8p+9f}},
    {true, 1966, 6, 19, 170, 12, 20, 0, 0, 3.0f, 23.44f, 45.0f, 270.0f, 89.5f, 45.0f, 1000.0f,
     {0x1.32ffc8p+15f, -0x1.7ec8ep+13f, 0x1.2aaaaap+3f, 0x1.4d5ebp+7f, 0x1.ef77fp-1f,
      0x1.5ca0f8p+6f, 0x1.499abp+7f, 0x1.5e98aep+6f, 0x1.771a36p+4f, 0x1.76c49p+4f,
      0x1.5dc05ap+6f, 0x1.926adp+1f, 0x1.70a212p+6f, 0x1.2e1b8p+2f, 0x1.152e9ap+2f,
      0x1.56ad16p+6f, 0x1.934de4p+6f, 0x1.3099ep+0f, 0x1.7170dcp+9f, -0x1.1e48p+0f,
      -0x1.1e48p+0f, 0x1.3dd064p+8f, 0x1.191b0cp+10f, 0x1.0eb6ccp+8f, 0x1.56ad16p+6f,
      0x1.152eap+2f, 0x1.fe89b8p-1f, 0x1.00a734p+0f, 0x1.fab80cp-1f, 0x1.ffd6d6p-1f,
      0x1.001496p+0f, 0x1.4ab72ep+10f, 0x1.49c56cp+10f, 0x1.58ed42p-4f, 0x1.bd98a6p+6f}},
    // Date given as month and day, 29 and 31 February among them.
    {false, 2000, 2, 29, 60, 7, 7, 7, 0, -5.0f, 40.71f, -74.01f, 135.0f, 20.0f, -2.0f, 1022.0f,
     {0x1.932802p+15f, 0x1.d808p+5f, 0x1.83cbaap+3f, 0x1.d188c4p+5f, 0x1.04dc28p+0f,
      0x1.529df6p+8f, 0x1.bd7548p+5f, 0x1.5437a2p+8f, 0x1.77060cp+4f, -0x1.ef2c2cp+2f,
      0x1.55bcaep+8f, 0x1.6b1708p+4f, 0x1.0a6308p+8f, -0x1.2d6698p+6f, 0x1.508bd4p+6f,
      0x1.7742cp+2f, 0x1.4d257cp+6f, 0x1.241f6p+0f, 0x1.a29968p+8f, -0x1.108ebcp+3f,
      -0x1.8f46fcp+3f, 0x1.8b5efap+8f, 0x1.096a7cp+10f, 0x1.a5eb74p+6f, 0x1.80c9a6p+2f,
      0x1.4ff366p+6f, 0x1.ad0602p-4f, 0x1.1a6e0ap+3f, 0x1.1cf068p+3f, 0x1.3616eap-1f,
      0x1.a6b0dcp+0f, 0x1.5c3ce6p+10f, 0x1.23cd1cp+7f, 0x1.93dfccp-2f, 0x1.12b226p+9f}},
    {false, 2012, 12, 31, 366, 16, 0, 0, 120, -8.0f, 42.0f, -124.0f, 240.0f, 30.0f, 6.0f, 1013.0f,
     {0x1.b7cbp+15f, 0x1.28c8p+12f, 0x1.7fbbbcp+4f, 0x1.68p+8f, 0x1.08f908p+0f,
      0x1.18ce82p+8f, 0x1.65a6aap+8f, 0x1.18b9fep+8f, 0x1.76fe5ep+4f, -0x1.700f94p+4f,
      0x1.19aa6cp+8f, 0x1.ad0b34p+2f, 0x1.508eap+8f, 0x1.b721ap+5f, 0x1.49ad3ep+6f,
      0x1.e52c2p+2f, 0x1.0e1a4ap+6f, 0x1.1481bp+0f, 0x1.d5c868p+9f, -0x1.36f3p+4f,
      -0x1.b798p+1f, 0x1.d554e6p+8f, 0x1.f8c4bcp+9f, 0x1.cadddep+7f, 0x1.ec8bd8p+2f,
      0x1.493742p+6f, 0x1.124368p-3f, 0x1.c66fecp+2f, 0x1.c66fecp+2f, 0x1.4c7804p-1f,
      0x1.8a3d0ep+0f, 0x1.61ba72p+10f, 0x1.7af6b2p+7f, 0x1.34c59p-1f, 0x1.aaa54cp+9f}},
    {false, 1968, 3, 1, 61, 5, 55, 0, 0, 4.0f, 55.75f, 37.62f, 100.0f, 15.0f, -8.0f, 1004.0f,
     {0x1.37d928p+15f, -0x1.6b636p+13f, 0x1.eaaaaap+0f, 0x1.d96cb6p+5f, 0x1.04ba68p+0f,
      0x1.52efacp+8f, 0x1.c46a5p+5f, 0x1.548d6ep+8f, 0x1.771932p+4f, -0x1.e727c6p+2f,
      0x1.560cfcp+8f, 0x1.906646p+3f, 0x1.c29d52p+7f, -0x1.d2f94cp+6f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x1.3ab93p+6f, 0x1.1a46fp+0f, 0x1.fa0d68p+7f, -0x1.97e53p+6f,
      -0x1.8e85ap+3f, 0x1.fb401cp+8f, 0x1.1c2cap+10f, 0x1.694cd6p+6f, -0x1.1ec418p+3f,
      0x1.8bd884p+6f, -0x1.3f0438p-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, 0x1.9ffeep-4f, 0x0p+0f}},
    {false, 1999, 2, 31, 62, 19, 2, 0, 0, -3.0f, -22.9f, -43.2f, 200.0f, 8.0f, 29.0f, 1012.0f,
     {0x1.9052d6p+15f, -0x1.2f95p+8f, 0x1.608888p+4f, 0x1.e150a8p+5f, 0x1.04985p+0f,
      0x1.553c34p+8f, 0x1.d28a28p+5f, 0x1.56e1f6p+8f, 0x1.7706a4p+4f, -0x1.ae4ca2p+2f,
      0x1.5838cep+8f, 0x1.19094ep+3f, 0x1.6224a6p+6f, 0x1.a1417p+6f, 0x1.8cp+6f,
      -0x1.2p+3f, 0x1.736ae2p+6f, 0x1.36950ap+0f, 0x1.1c505cp+10f, -0x1.2fa4p+2f,
      -0x1.7e386p+3f, 0x1.6153aep+8f, 0x1.120a5cp+10f, 0x1.02b8a4p+8f, -0x1.1ee896p+3f,
      0x1.8bdd12p+6f, -0x1.3f2c68p-3f, -0x1p+0f, -0x1p+0f, 0x1.50caf2p+0f,
      0x1.852d52p-1f, 0x0p+0f, 0x0p+0f, -0x1.53c73cp-4f, 0x0p+0f}},
    // Sun near the horizon: the polynomial and the -20.774 / t refraction.
    {true, 2014, 6, 21, 172, 5, 40, 0, 0, -7.0f, 44.5f, -123.5f, 90.0f, 25.0f, 10.0f, 1013.0f,
     {0x1.bbfc0ep+15f, 0x1.4a507p+12f, 0x1.955556p+3f, 0x1.5150a8p+7f, 0x1.ef54a8p-1f,
      0x1.6688aap+6f, 0x1.4ce7b2p+7f, 0x1.684ab2p+6f, 0x1.76fd7cp+4f, 0x1.76fd68p+4f,
      0x1.685168p+6f, 0x1.a91ac8p+2f, 0x1.502246p+8f, -0x1.c7c85p+6f, 0x1.64fafep+6f,
      0x1.8281p-1f, 0x1.ccdb3ep+6f, 0x1.327e7cp+0f, 0x1.0837bp+8f, -0x1.2f214p+6f,
      -0x1.c85p+0f, 0x1.4eed12p+8f, 0x1.3a28e4p+10f, 0x1.c7f192p+5f, 0x1.24a0a2p+0f,
      0x1.636d7ep+6f, 0x1.46d8c4p-6f, 0x1.91957cp+4f, 0x1.91957cp+4f, 0x1.c65eb2p-2f,
      0x1.207846p+1f, 0x1.4a9fa2p+10f, 0x1.a61f3cp+4f, 0x1.7d5b54p-2f, 0x1.ec8588p+8f}},
    {true, 1980, 10, 26, 300, 17, 15, 0, 0, -8.0f, 43.0f, -123.0f, 270.0f, 10.0f, 0.0f, 1013.0f,
     {0x1.5bf71ap+15f, -0x1.b5d73p+12f, 0x1.94p+4f, 0x1.26e774p+8f, 0x1.034944p+0f,
      0x1.af1d48p+7f, 0x1.24f484p+8f, 0x1.ab8f18p+7f, 0x1.7711ap+4f, -0x1.98eafap+3f,
      0x1.a71374p+7f, 0x1.cf6ddp+1f, 0x1.234edep+8f, 0x1.3f149p+6f, 0x1.6d8aaep+6f,
      -0x1.62ab8p+0f, 0x1.3728d6p+6f, 0x1.1d6afcp+0f, 0x1.03c524p+10f, 0x1.0524p+2f,
      0x1.0149p+4f, 0x1.94c29ap+8f, 0x1.00c512p+10f, 0x1.fb7bbcp+7f, -0x1.2359cep+0f,
      0x1.6c8d68p+6f, -0x1.456bb4p-6f, 0x1.d246e2p+5f, 0x1.d246e2p+5f, 0x1.80a982p-2f,
      0x1.54beecp+1f, 0x0p+0f, 0x0p+0f, 0x1.2d4852p-3f, 0x0p+0f}},
    {true, 1990, 5, 20, 140, 20, 21, 0, 0, -7.0f, 45.0f, -122.9f, 300.0f, 12.0f, 15.0f, 1013.0f,
     {0x1.774148p+15f, -0x1.b70b8p+11f, 0x1.b5999ap+4f, 0x1.123118p+7f, 0x1.f3a7eap-1f,
      0x1.d418dp+5f, 0x1.0f7db8p+7f, 0x1.dea0c4p+5f, 0x1.770be6p+4f, 0x1.41d692p+4f,
      0x1.cd1ec6p+5f, 0x1.340384p+4f, 0x1.4bb9cap+7f, 0x1.b0e43p+6f, 0x1.5fda48p+6f,
      0x1.04b7p+1f, 0x1.bdefb2p+6f, 0x1.332db6p+0f, 0x1.20390cp+10f, -0x1.106f4p+6f,
      0x1.bee5p+1f, 0x1.562c1ep+8f, 0x1.3482ep+10f, 0x1.28d064p+8f, 0x1.28185p+1f,
      0x1.5ebf3ep+6f, 0x1.4aa6a8p-5f, 0x1.1e1ca4p+4f, 0x1.1e1ca4p+4f, 0x1.f1d7b2p-2f,
      0x1.0747bp+1f, 0x1.4d82b4p+10f, 0x1.aec39ap+5f, 0x1.f9a7acp-3f, 0x1.4960a2p+8f}},
};

std::string hex(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%a", static_cast<double>(v));
    return buf;
}

TEST(SolposPinned, EveryResultMatchesTheIndependentReferenceBitForBit) {
    int index = 0;
    for (const Pinned &c : kCases) {
        SCOPED_TRACE(testing::Message() << "case " << index++ << ": " << c.year << " day "
                                        << c.day_of_year << " " << c.hour << ":" << c.minute << ":"
                                        << c.second);
        solar_record r{};
        S_init(&r);
        r.year = c.year; r.hour = c.hour; r.minute = c.minute; r.second = c.second;
        r.interval_seconds = c.interval_seconds; r.timezone_hours = c.timezone_hours;
        r.latitude = c.latitude; r.longitude = c.longitude;
        r.surface_aspect = c.surface_aspect; r.surface_tilt = c.surface_tilt;
        r.temperature = c.temperature; r.pressure = c.pressure;
        if (c.by_day_of_year) {
            r.day_of_year = c.day_of_year;
        } else {
            r.function_mask = SOLAR_ALL & ~SOLAR_DAY_OF_YEAR_INPUT;
            r.month = c.month; r.day_of_month = c.day_of_month;
        }
        ASSERT_EQ(S_solpos(&r), 0);
        EXPECT_EQ(r.month, c.month);
        EXPECT_EQ(r.day_of_month, c.day_of_month);
        EXPECT_EQ(r.day_of_year, c.day_of_year);
        for (int k = 0; k < kFieldCount; ++k)
            EXPECT_EQ(hex(r.*kFields[k].member), hex(c.expected[k])) << kFields[k].name;
    }
}

}  // namespace
