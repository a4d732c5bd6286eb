#include "nfce/state_registration.h"

#include <string>

#include <gtest/gtest.h>

namespace fvn {
namespace {

// Registrations computed by hand from each state's published rule (the
// "published" rows are the examples the states print beside their rules),
// and wrong ones: a wrong check digit, only the first of two check digits
// wrong, a prefix the state does not issue, a length it does not use.
struct IeCase {
  const char* name;
  const char* uf;
  const char* registration;
  bool valid;
};

constexpr IeCase kCases[] = {
    {"AC_published", "AC", "0100482300112", true},
    {"AC_wrong_second_digit", "AC", "0188534689503", false},
    {"AC_wrong_first_digit_only", "AC", "0100952727982", false},
    {"AC_prefix_02", "AC", "0201910356239", false},
    {"AC_12_digits", "AC", "010048230011", false},

    {"AL_published", "AL", "240000048", true},
    {"AL_wrong_digit", "AL", "240975214", false},
    {"AL_prefix_25", "AL", "258040718", false},
    {"AL_8_digits", "AL", "24000004", false},

    {"AP_published_first_range", "AP", "030123459", true},
    {"AP_second_range", "AP", "030176851", true},
    {"AP_third_range", "AP", "030276934", true},
    {"AP_eleven_gives_d_1", "AP", "030179001", true},
    {"AP_ten_gives_0", "AP", "030053680", true},
    {"AP_wrong_digit_1", "AP", "030130944", false},
    {"AP_prefix_04", "AP", "049250264", false},

    {"AM_published", "AM", "999999990", true},
    {"AM_sum_below_11", "AM", "000001007", true},
    {"AM_wrong_digit_1", "AM", "341003035", false},
    {"AM_8_digits", "AM", "99999999", false},

    {"BA_published_8_digits_mod10", "BA", "12345663", true},
    {"BA_published_9_digits_mod10", "BA", "100000306", true},
    {"BA_8_digits_mod11", "BA", "66795326", true},
    {"BA_9_digits_mod11", "BA", "570160889", true},
    {"BA_mod11_remainder_1", "BA", "67699060", true},
    {"BA_8_digits_first_9_mod11", "BA", "91234518", true},
    {"BA_9_digits_second_9_mod11", "BA", "091234518", true},
    {"BA_first_9_taken_as_mod10", "BA", "91234597", false},
    {"BA_wrong_second_digit", "BA", "53474227", false},
    {"BA_wrong_first_digit_only", "BA", "061093429", false},
    {"BA_9_digits_wrong", "BA", "208195160", false},
    {"BA_7_digits", "BA", "1234566", false},

    {"CE_published", "CE", "060000015", true},
    {"CE_wrong_digit_1", "CE", "737246939", false},
    {"CE_10_digits", "CE", "0600000150", false},

    {"DF_published", "DF", "0730000100109", true},
    {"DF_valid_07", "DF", "0703740807721", true},
    {"DF_valid_08", "DF", "0894925219079", true},
    {"DF_wrong_second_digit", "DF", "0703740807728", false},
    {"DF_wrong_first_digit_only", "DF", "0714698222460", false},
    {"DF_12_digits", "DF", "073000010010", false},

    {"ES_published", "ES", "999999990", true},
    {"ES_wrong_digit_1", "ES", "633404564", false},
    {"ES_8_digits", "ES", "99999999", false},

    {"GO_published", "GO", "109876547", true},
    {"GO_prefix_11", "GO", "117921076", true},
    {"GO_prefix_25", "GO", "252978560", true},
    {"GO_remainder_1_in_range_gives_1", "GO", "101037831", true},
    {"GO_remainder_1_outside_range_gives_0", "GO", "110727720", true},
    {"GO_11094402_with_0", "GO", "110944020", true},
    {"GO_11094402_with_1", "GO", "110944021", true},
    {"GO_wrong_digit", "GO", "103787750", false},
    {"GO_remainder_1_in_range_with_0", "GO", "101037830", false},
    {"GO_prefix_12", "GO", "120777860", false},
    {"GO_prefix_15", "GO", "152286144", true},
    {"GO_prefix_14", "GO", "141234563", false},
    {"GO_prefix_30", "GO", "301234566", false},

    {"MA_published", "MA", "120000385", true},
    {"MA_wrong_digit", "MA", "120081850", false},
    {"MA_prefix_13", "MA", "134060768", false},
    {"MA_8_digits", "MA", "12000038", false},

    {"MT_published_11_digits", "MT", "00130000019", true},
    {"MT_10_digits_zero_filled", "MT", "0130000019", true},
    {"MT_9_digits_zero_filled", "MT", "130000019", true},
    {"MT_wrong_digit", "MT", "17392260558", false},
    {"MT_9_digits_wrong", "MT", "136503460", false},
    {"MT_8_digits", "MT", "13000001", false},
    {"MT_12_digits", "MT", "001300000190", false},

    {"MS_published", "MS", "280000006", true},
    {"MS_wrong_digit_1", "MS", "283548341", false},
    {"MS_10_digits", "MS", "2800000060", false},
    {"MS_prefix_50", "MS", "501234560", true},
    {"MS_prefix_29", "MS", "291234569", false},

    {"MG_published", "MG", "0623079040081", true},
    {"MG_first_digit_0", "MG", "5192905647501", true},
    {"MG_wrong_second_digit", "MG", "0307783549630", false},
    {"MG_wrong_first_digit_only", "MG", "1111969643981", false},
    {"MG_12_digits", "MG", "062307904008", false},

    {"PA_published", "PA", "159999995", true},
    {"PA_prefix_75", "PA", "759240450", true},
    {"PA_wrong_digit_1", "PA", "156717412", false},
    {"PA_8_digits", "PA", "15999999", false},
    {"PA_prefix_79", "PA", "791234568", true},
    {"PA_prefix_74", "PA", "741234564", false},
    {"PA_prefix_16", "PA", "161234569", false},

    {"PB_published", "PB", "060000015", true},
    {"PB_wrong_digit_1", "PB", "593937980", false},
    {"PB_7_digits", "PB", "6000001", false},

    {"PR_published", "PR", "1234567850", true},
    {"PR_wrong_second_digit", "PR", "6032296733", false},
    {"PR_wrong_first_digit_only", "PR", "5289124898", false},
    {"PR_9_digits", "PR", "123456785", false},

    {"PE_published_current", "PE", "032141840", true},
    {"PE_published_older", "PE", "18100100000049", true},
    {"PE_current", "PE", "591781409", true},
    {"PE_older", "PE", "18836716882756", true},
    {"PE_current_wrong_second_digit", "PE", "591781400", false},
    {"PE_current_wrong_first_digit_only", "PE", "159074932", false},
    {"PE_older_wrong_digit", "PE", "18836716882754", false},
    {"PE_10_digits", "PE", "0321418400", false},

    {"PI_published", "PI", "012345679", true},
    {"PI_wrong_digit_1", "PI", "195560024", false},
    {"PI_8_digits", "PI", "01234567", false},

    {"RJ_published", "RJ", "99999993", true},
    {"RJ_wrong_digit_1", "RJ", "78016137", false},
    {"RJ_9_digits", "RJ", "999999930", false},

    {"RN_published_9_digits", "RN", "200400401", true},
    {"RN_published_10_digits", "RN", "2000400400", true},
    {"RN_valid_9_digits", "RN", "201177021", true},
    {"RN_valid_10_digits", "RN", "2047602360", true},
    {"RN_wrong_digit", "RN", "201177026", false},
    {"RN_10_digits_wrong", "RN", "2047602364", false},
    {"RN_prefix_21", "RN", "212774131", false},
    {"RN_8_digits", "RN", "20040040", false},

    {"RS_published", "RS", "2243658792", true},
    {"RS_wrong_digit_1", "RS", "4767744548", false},
    {"RS_9_digits", "RS", "224365879", false},

    {"RO_published_older", "RO", "101625213", true},
    {"RO_published_current", "RO", "00000000625213", true},
    {"RO_current", "RO", "10510622152223", true},
    {"RO_ten_gives_0", "RO", "28093748450320", true},
    {"RO_eleven_gives_1", "RO", "11865940234161", true},
    {"RO_older", "RO", "806608572", true},
    {"RO_current_wrong_digit", "RO", "10510622152227", false},
    {"RO_older_wrong_digit", "RO", "806608576", false},
    {"RO_13_digits", "RO", "0000000062521", false},

    {"RR_published", "RR", "240066281", true},
    {"RR_wrong_digit", "RR", "245717174", false},
    {"RR_prefix_23", "RR", "234765963", false},
    {"RR_8_digits", "RR", "24006628", false},

    {"SC_published", "SC", "251040852", true},
    {"SC_wrong_digit_1", "SC", "017350421", false},
    {"SC_8_digits", "SC", "25104085", false},

    {"SE_published", "SE", "271234563", true},
    {"SE_wrong_digit_1", "SE", "363953284", false},
    {"SE_10_digits", "SE", "2712345630", false},

    {"SP_published", "SP", "110042490114", true},
    {"SP_published_rural", "SP", "P011004243002", true},
    {"SP_rural", "SP", "P099071847604", true},
    {"SP_first_remainder_10_gives_0", "SP", "168819850647", true},
    {"SP_wrong_second_digit", "SP", "059176921304", false},
    {"SP_wrong_first_digit_only", "SP", "721834266297", false},
    {"SP_rural_wrong_digit", "SP", "P099071848604", false},
    {"SP_11_digits", "SP", "11004249011", false},
    {"SP_rural_11_digits", "SP", "P01100424300", false},

    {"TO_published_older", "TO", "29010227836", true},
    {"TO_current", "TO", "293724920", true},
    {"TO_older", "TO", "29012209967", true},
    {"TO_current_wrong_digit", "TO", "293724927", false},
    {"TO_older_wrong_digit", "TO", "29012209964", false},
    {"TO_older_type_04", "TO", "29046134686", false},
    {"TO_10_digits", "TO", "2901022783", false},

    // Only digits are a registration (and SP's rural "P").
    {"punctuated", "SP", "110.042.490.114", false},
    {"empty", "SP", "", false},
    {"rural_P_outside_SP", "MG", "P011004243002", false},
    {"lower_case_rural_p", "SP", "p011004243002", false},
};

class StateRegistration : public ::testing::TestWithParam<IeCase> {};

TEST_P(StateRegistration, FollowsTheStateRule) {
  const IeCase& c = GetParam();
  EXPECT_EQ(ConsisteInscricaoEstadual(std::string_view{c.registration}, std::string_view{c.uf}),
            c.valid ? 0 : kIeInvalid);
}

INSTANTIATE_TEST_SUITE_P(PerState, StateRegistration, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<IeCase>& row) { return std::string{row.param.name}; });

TEST(StateRegistrationUf, AnUnknownUfIsRefused) {
  for (const char* uf : {"XX", "", "sp", "SPX", "EX", " SP"}) {
    EXPECT_EQ(ConsisteInscricaoEstadual(std::string_view{"110042490114"}, std::string_view{uf}), kIeUnknownUf) << uf;
  }
}

TEST(StateRegistrationUf, TheCFormRefusesNullPointers) {
  EXPECT_EQ(ConsisteInscricaoEstadual("110042490114", "SP"), 0);
  EXPECT_NE(ConsisteInscricaoEstadual(nullptr, "SP"), 0);
  EXPECT_NE(ConsisteInscricaoEstadual("110042490114", nullptr), 0);
}

}  // namespace
}  // namespace fvn
