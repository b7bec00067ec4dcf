// The catalogue of diagnostic codes: for every code a test can raise, whether it
// is reported, how many (name, index) arguments its message takes, its detailed
// in-text, its user-facing out-text and its severity.
// All members are static. The catalogue fills itself once, on the first lookup,
// and is read-only afterwards, so lookups are safe from any thread.
#pragma once

#include <map>

enum DICSeverity
{
    DIC_NONE = 0,    // the no-error code, and codes without a record
    DIC_INFO = 1,
    DIC_WARNING = 2,
    DIC_ERROR = 3
};

class CDICErrors
{
public:
    // One catalogue record. The texts point at string literals that live for
    // the whole run.
    struct ErrorCase
    {
        constexpr ErrorCase() = default;
        constexpr ErrorCase(int logging, int args, const char* in, const char* out, DICSeverity sev)
            : outLogging(logging), numArgs(args), inText(in), outText(out), severity(sev)
        {
        }

        int outLogging = 0;     // non-zero: the code is reported
        int numArgs = 0;        // (name, index) arguments of the message, 0 to 4
        const char* inText = "";
        const char* outText = "";
        DICSeverity severity = DIC_INFO;
    };

    // Unused by the checks themselves; kept for hosts that refer to it.
    static constexpr unsigned DICNORVBase = 0x0A3D0000;

    // Diagnostic codes, family by family (family x 100 + running number),
    // each family under the test class that raises it.

    // No finding
    static constexpr unsigned T0_NOERROR = 0;

    // CNorvInitTest
    static constexpr unsigned T1_NOCONFIGFORTOP  = 101;
    static constexpr unsigned T1_NODESIGN        = 102;
    static constexpr unsigned T1_NOALLCC         = 103;
    static constexpr unsigned T1_NODEFAULTNC     = 104;
    static constexpr unsigned T1_NOMASTERSCHEME  = 105;
    static constexpr unsigned T1_NOMINIMUMSCHEME = 106;
    static constexpr unsigned T1_NODEFAULTCR     = 107;
    static constexpr unsigned T1_NOGENCLEAR      = 108;

    // CClearRuleInSchemes
    static constexpr unsigned T2_ERRITERSCHEMES         = 201;
    static constexpr unsigned T2_ERRINDEXSCHEME         = 202;
    static constexpr unsigned T2_ERRNAMESCHEME          = 203;
    static constexpr unsigned T2_ERRINDEXSCHEME_2       = 204;
    static constexpr unsigned T2_ERRIITERCRSCHEME       = 205;
    static constexpr unsigned T2_ERRNAMESCR             = 206;
    static constexpr unsigned T2_ERRINDEXSCR            = 207;
    static constexpr unsigned T2_ERRPARENTCR            = 208;
    static constexpr unsigned T2_ERRPARENTINDEXCR       = 209;
    static constexpr unsigned T2_ERRPARENTSCHEME        = 210;
    static constexpr unsigned T2_ERRINDEXPARENTSCHEME   = 211;
    static constexpr unsigned T2_NOTMATCHPARENTSCHEME   = 212;
    static constexpr unsigned T2_ERRDESIGNITERCR        = 213;
    static constexpr unsigned T2_ERRINDEXCR             = 214;
    static constexpr unsigned T2_ERRNAMECR              = 215;
    static constexpr unsigned T2_NOTMATCHSCRCR          = 216;
    static constexpr unsigned T2_MISSINGCRSCHEME        = 217;
    static constexpr unsigned T2_MANYSCRFORCR           = 218;
    static constexpr unsigned T2_INCONSISTENCYCRSCR     = 219;
    static constexpr unsigned T2_UNKNOWNCRSCHEME        = 220;
    static constexpr unsigned T2_MANYCRFORSCR           = 221;
    static constexpr unsigned T2_ERRGETCRDESIGN         = 222;
    static constexpr unsigned T2_ERRGETLISTSCRFROMCR    = 223;
    static constexpr unsigned T2_ERRREACHSCRFROMCR      = 224;
    static constexpr unsigned T2_DUPLICATEDNAMEOFSCHEME = 225;

    // CCompInPart
    static constexpr unsigned T3_ERRITERCOMPONENTS   = 301;
    static constexpr unsigned T3_ERRCOMPNAME         = 302;
    static constexpr unsigned T3_ERRCOMPINDEX        = 303;
    static constexpr unsigned T3_ERRITERPARTS        = 304;
    static constexpr unsigned T3_ERRPARTINDEX        = 305;
    static constexpr unsigned T3_ERRPARTITERCOMPS    = 306;
    static constexpr unsigned T3_ERRCHILDCOMPINDEX   = 307;
    static constexpr unsigned T3_ERRMANYCOMPSINPART  = 308;
    static constexpr unsigned T3_ERRCOMPNOTINANYPART = 309;
    static constexpr unsigned T3_ERRCOMPHASNOPART    = 310;
    static constexpr unsigned T3_ERRMANYCOMP         = 311;

    // CPinNumVsPinName
    static constexpr unsigned T4_ERRDEFAULTCONFIG      = 401;
    static constexpr unsigned T4_ERRITERCOMPONENTS     = 402;
    static constexpr unsigned T4_ERRCOMPINDEX          = 403;
    static constexpr unsigned T4_ERRCOMPNAME           = 404;
    static constexpr unsigned T4_ERRITERPINSINCOMP     = 405;
    static constexpr unsigned T4_ERRINDEXPIN           = 406;
    static constexpr unsigned T4_ERRNAMEPIN            = 407;
    static constexpr unsigned T4_ERRLOGPINFORNORVPIN   = 408;
    static constexpr unsigned T4_ERRATRPINNUM          = 409;
    static constexpr unsigned T4_ERRATRPINNUMEMPTY     = 410;
    static constexpr unsigned T4_ERRATRPINNUMDEFFERENT = 411;
    static constexpr unsigned T4_ERRTYPEPIN            = 412;
    static constexpr unsigned T4_NCISCONNECTED         = 413;

    // CCompUnique
    static constexpr unsigned T5_ERRITERCOMPINDESIGN = 501;
    static constexpr unsigned T5_ERRINDEXCOMP        = 502;
    static constexpr unsigned T5_ERRNAMECOMP         = 503;
    static constexpr unsigned T5_ERRPARENTPARTOFCOMP = 504;
    static constexpr unsigned T5_DUPLICATECOMPS      = 505;

    // CCompValid
    static constexpr unsigned T6_ERRITERCOMPINDESIGN           = 601;
    static constexpr unsigned T6_ERRINDEXCOMP                  = 602;
    static constexpr unsigned T6_ERRNAMECOMP                   = 603;
    static constexpr unsigned T6_ERRPARENTPARTOFCOMP           = 604;
    static constexpr unsigned T6_ERRPARTNOTMATCHCOMP           = 605;
    static constexpr unsigned T6_ERRPINSITERINPART             = 606;
    static constexpr unsigned T6_ERRPINDEXPART                 = 607;
    static constexpr unsigned T6_ERRPNAMEPART                  = 608;
    static constexpr unsigned T6_ERRITERPINSINCOMP             = 609;
    static constexpr unsigned T6_ERRPARENTPARTPINFORPIN        = 610;
    static constexpr unsigned T6_ERRPARENTPARTPININDEX         = 611;
    static constexpr unsigned T6_ERRPARENTPARTPINNOTMATCHPIN   = 612;
    static constexpr unsigned T6_ERRDIFFERENTPINNUMBERS        = 613;
    static constexpr unsigned T6_ERRINDEXCOMP_2                = 614;
    static constexpr unsigned T6_ERRITERPINSINCOMP_2           = 615;
    static constexpr unsigned T6_ERRPARENTCOMPFORPIN           = 616;
    static constexpr unsigned T6_ERRPARENTCOMPINDEX            = 617;
    static constexpr unsigned T6_ERRWRONGPARENTCOMPOFPIN       = 618;
    static constexpr unsigned T6_ERRPARENTNETOFPIN             = 619;
    static constexpr unsigned T6_COMPONENTNOTUSED              = 620;
    static constexpr unsigned T6_ERRINVALIDLOGICCOMPINNORVCOMP = 621;

    // CFlatPinVsNorvPinChecker
    static constexpr unsigned T7_NODEFAULTCONFIG                                = 701;
    static constexpr unsigned T7_NOITEROFFLATNETS                               = 702;
    static constexpr unsigned T7_ERROINDEXOFFLATNET                             = 703;
    static constexpr unsigned T7_ERRONAMEOFFLATNET                              = 704;
    static constexpr unsigned T7_ERROINDEXOFPHYSNET                             = 705;
    static constexpr unsigned T7_ERRONAMEOFPHYSNET                              = 706;
    static constexpr unsigned T7_ERROTYPEOFPHYSNET                              = 707;
    static constexpr unsigned T7_PINSOFFLATNOTMATCHPINSOFPHYS                   = 708;
    static constexpr unsigned T7_ERRINDEXOFFLAT_2                               = 709;
    static constexpr unsigned T7_ERRNAMEOFFLAT_2                                = 710;
    static constexpr unsigned T7_ERRITERPNETSOFFLAT                             = 711;
    static constexpr unsigned T7_ERRPATHOFPNET                                  = 712;
    static constexpr unsigned T7_ERRPHYSFORFLAT                                 = 713;
    static constexpr unsigned T7_ERRITERPNETSOFFLAT_2                           = 714;
    static constexpr unsigned T7_ERRINDEXOFFLAT_3                               = 715;
    static constexpr unsigned T7_ERRPATHOFPNET_2                                = 716;
    static constexpr unsigned T7_ERRITERPINSOFPNET                              = 717;
    static constexpr unsigned T7_ERRINDEXOFPIN                                  = 718;
    static constexpr unsigned T7_ERRTYPEOFPIN                                   = 719;
    static constexpr unsigned T7_ERRPARENTCOMPONENTOFPIN                        = 720;
    static constexpr unsigned T7_ERRTYPEOFPARENTCOMPONENTOFPIN                  = 721;
    static constexpr unsigned T7_PINFWDPCBCOMPNOTFWDPCB                         = 722;
    static constexpr unsigned T7_ERRINDEXOFPHYSNET                              = 723;
    static constexpr unsigned T7_ERRITEROFPINSINPHYSNET                         = 724;
    static constexpr unsigned T7_ERRINDEXOFPINSINPHYSNET                        = 725;
    static constexpr unsigned T7_ERRPINOFPHYSNET                                = 726;
    static constexpr unsigned T7_ERRITEROFFLATPINSINPHYSPIN                     = 727;
    static constexpr unsigned T7_ERRINDEXOFFLATPIN                              = 728;
    static constexpr unsigned T7_NOFLATPINFORPHYSPININFLATNET                   = 729;
    static constexpr unsigned T7_ERRNAMEOFPHYSPIN                               = 730;
    static constexpr unsigned T7_ZEROFLATPINSFORPHYSPIN                         = 731;
    static constexpr unsigned T7_ERRLISTNORVPINSFROMFLATPIN                     = 732;
    static constexpr unsigned T7_ERRNORVPIN                                     = 733;
    static constexpr unsigned T7_ERRPARENTPHYSNETFORNORVPIN                     = 734;
    static constexpr unsigned T7_ERRINDEXOFPARENTPHYSNETFORNORVPIN              = 735;
    static constexpr unsigned T7_WRONGPARENTPHYSNETFORNORVPIN                   = 736;
    static constexpr unsigned T7_NORVPINFROMFLATPINNOTINPHYSNET                 = 737;
    static constexpr unsigned T7_PHYSPINMORETHANONCEINFLATPIN                   = 738;
    static constexpr unsigned T7_NUMBEROFNORVPINFROMFLATPINISZERO               = 739;
    static constexpr unsigned T7_NORVPINFROMPHYSNETNOTREFERENCEDBYPINSINFLATNET = 740;
    static constexpr unsigned T7_FLATPINFROMFLATNETNOTREFERENCEDBYPINSINPHYSNET = 741;

    // CConnectionPinPair
    static constexpr unsigned T8_ERRITERELECNETS                                = 801;
    static constexpr unsigned T8_ERRITERPHYSNETSINENET                          = 802;
    static constexpr unsigned T8_ERRCOUNTPHYSNETSINENET                         = 803;
    static constexpr unsigned T8_NEGATIVECOUNTPHYSNETSINENET                    = 804;
    static constexpr unsigned T8_NOPHYSNETSINENET                               = 805;
    static constexpr unsigned T8_WRONGNAMEFORENETNOTCOMPOSITE                   = 806;
    static constexpr unsigned T8_WRONGNAMEFORENETCOMPOSITE                      = 807;
    static constexpr unsigned T8_ERRITERPINPAIRSINENET                          = 808;
    static constexpr unsigned T8_ERRCOUNTPINPAIRSINENET                         = 809;
    static constexpr unsigned T8_NEGATIVECOUNTPINPAIRSINENET                    = 810;
    static constexpr unsigned T8_NOPINPAIRSINCOMPOSITEENET                      = 811;
    static constexpr unsigned T8_ERRINDEXOFPINPAIRINENET                        = 812;
    static constexpr unsigned T8_ERRNAMEOFPINPAIRINENET                         = 813;
    static constexpr unsigned T8_ERRFIRSTPINOFPINPAIRINENET                     = 814;
    static constexpr unsigned T8_ERRSECONDPINOFPINPAIRINENET                    = 815;
    static constexpr unsigned T8_ERRINDEXOFFIRSTPINOFPINPAIRINENET              = 816;
    static constexpr unsigned T8_ERRINDEXOFSECONDPINOFPINPAIRINENET             = 817;
    static constexpr unsigned T8_ERRPARENTCOMPOFFIRSTPINOFPINPAIRINENET         = 818;
    static constexpr unsigned T8_ERRPARENTCOMPOFSECONDPINOFPINPAIRINENET        = 819;
    static constexpr unsigned T8_ERRINDEXOFPARENTCOMPOFFIRSTPINOFPINPAIRINENET  = 820;
    static constexpr unsigned T8_ERRINDEXOFPARENTCOMPOFSECONDPINOFPINPAIRINENET = 821;
    static constexpr unsigned T8_DIFFERENTPARENTSOFPINSOFPINPAIRINENET          = 822;

    // CConstraintClassNameUnique
    static constexpr unsigned T9_ERRITERTOPLEVELCC   = 901;
    static constexpr unsigned T9_ERRITERTOPLEVELCC_2 = 902;
    static constexpr unsigned T9_ERRINDEXOFCC        = 903;
    static constexpr unsigned T9_ERRNAMEOFCC         = 904;
    static constexpr unsigned T9_INVALIDNAMEOFCC     = 905;
    static constexpr unsigned T9_DUPLICATEDNAMEOFCC  = 906;
    static constexpr unsigned T9_ERRINDEXOFCC_2      = 907;
    static constexpr unsigned T9_ERRNAMEOFCC_2       = 908;
    static constexpr unsigned T9_ERRITERCHILDCC      = 909;
    static constexpr unsigned T9_ERRITERCHILDCC_2    = 910;
    static constexpr unsigned T9_MISSING_NC_FOR_CC   = 911;

    // CDefaultObjects
    static constexpr unsigned T10_ERRITERSCHEMES          = 1001;
    static constexpr unsigned T10_ERRITERCLEARRULES       = 1002;
    static constexpr unsigned T10_ERRINDEXOFSCHEME        = 1003;
    static constexpr unsigned T10_ERRNAMEOFSCHEME         = 1004;
    static constexpr unsigned T10_NOMASTERSCHEME          = 1005;
    static constexpr unsigned T10_NOMINIMUMSCHEME         = 1006;
    static constexpr unsigned T10_ERRINDEXCLEARRULE       = 1007;
    static constexpr unsigned T10_ERRNAMECLEARRULE        = 1008;
    static constexpr unsigned T10_NODEFAULTRULECLEARRULE  = 1009;
    static constexpr unsigned T10_ERRINDEXNETCLASS        = 1010;
    static constexpr unsigned T10_ERRNAMENETCLASS         = 1011;
    static constexpr unsigned T10_NODEFAULTNETCLASS       = 1012;
    static constexpr unsigned T10_ERRINDEXCONSTRAINTCLASS = 1013;
    static constexpr unsigned T10_ERRNAMECONSTRAINTCLASS  = 1014;
    static constexpr unsigned T10_NOALLCONSTRAINTCLASS    = 1015;
    static constexpr unsigned T10_NOITERNETCLASS          = 1016;
    static constexpr unsigned T10_NORELATEDNETCLASSES     = 1017;
    static constexpr unsigned T10_NONETCLASSRULE          = 1018;
    static constexpr unsigned T10_NOPARENTSCHEME          = 1019;
    static constexpr unsigned T10_SCHEMENAME              = 1020;
    static constexpr unsigned T10_NETCLASSRULEINDEX       = 1021;
    static constexpr unsigned T10_NOLAYERRULEINDEX        = 1022;
    static constexpr unsigned T10_NOLAYERRULE             = 1023;
    static constexpr unsigned T10_NOCONSTRAINTNAME        = 1024;
    static constexpr unsigned T10_NOCONSTRAINTVALUE       = 1025;
    static constexpr unsigned T10_NOITERCONSTRAINTS       = 1026;
    static constexpr unsigned T10_CONSTRAINTNOTMIN        = 1027;
    static constexpr unsigned T10_NOMINNETCLASSRULE       = 1028;
    static constexpr unsigned T10_NOCONSTRAINTINDEX       = 1029;
    static constexpr unsigned T10_NOSCHEMACLEARRULE       = 1030;
    static constexpr unsigned T10_NOCLEARRULEPARENTSCHEME = 1031;
    static constexpr unsigned T10_SCHEMACLEARRULEINDEX    = 1032;
    static constexpr unsigned T10_NOMINSCHEMACLEARRULE    = 1033;
    static constexpr unsigned T10_NORELATEDCLEARRULES     = 1034;
    static constexpr unsigned T10_NOITERCLEARRULE         = 1035;

    // CDefaults
    static constexpr unsigned T11_CANTLOADSPECIFIEDCNS               = 1101;
    static constexpr unsigned T11_ERRITEROVERENETS                   = 1102;
    static constexpr unsigned T11_ERRNAMEOFENET                      = 1103;
    static constexpr unsigned T11_ERRDEFCONSTROFENET                 = 1104;
    static constexpr unsigned T11_ERRITEROVERPHYSNETS                = 1105;
    static constexpr unsigned T11_ERRNAMEOFPHYSNET                   = 1106;
    static constexpr unsigned T11_ERRDEFCONSTROFPHYSNET              = 1107;
    static constexpr unsigned T11_ERRITERNORVCOMPS                   = 1108;
    static constexpr unsigned T11_ERRNAMENORVCOMP                    = 1109;
    static constexpr unsigned T11_ERRDEFCONSTROFNORVCOMP             = 1110;
    static constexpr unsigned T11_ERRITERDIFFPAIRS                   = 1111;
    static constexpr unsigned T11_ERRNAMEDIFFPAIR                    = 1112;
    static constexpr unsigned T11_ERRDEFOCONSTRDIFFPAIR              = 1113;
    static constexpr unsigned T11_ERRITERNORVPARTS                   = 1114;
    static constexpr unsigned T11_ERRNAMENORVPART                    = 1115;
    static constexpr unsigned T11_ERRDEFCONSTROFNORVPART             = 1116;
    static constexpr unsigned T11_ERRITERLAYERS                      = 1117;
    static constexpr unsigned T11_ERRNAMELAYER                       = 1118;
    static constexpr unsigned T11_ERRDEFCONSTOFLAYER                 = 1119;
    static constexpr unsigned T11_ERRITERCONSTRCLASS                 = 1120;
    static constexpr unsigned T11_ERRNAMECONSTRCLASS                 = 1121;
    static constexpr unsigned T11_ERRDEFCONSTROFCONSTRCLASS          = 1122;
    static constexpr unsigned T11_ERRITERVIASPANS                    = 1123;
    static constexpr unsigned T11_ERRNAMEVIASPAN                     = 1124;
    static constexpr unsigned T11_ERRDEFCONSTRVIASPAN                = 1125;
    static constexpr unsigned T11_ERRITERPKGTYPECLERRULE             = 1126;
    static constexpr unsigned T11_ERRNAMEPKGTYPECLERRULE             = 1127;
    static constexpr unsigned T11_ERRDEFCONSTRPKGTYPECLERRULE        = 1128;
    static constexpr unsigned T11_ERRITERP2PCLEARRULE                = 1129;
    static constexpr unsigned T11_ERRDEFCONSTRP2PCLEARRULE           = 1130;
    static constexpr unsigned T11_ERRITERNOISERULE                   = 1131;
    static constexpr unsigned T11_ERRNAMENOISERULE                   = 1132;
    static constexpr unsigned T11_ERRDEFCONSTRNOISERULE              = 1133;
    static constexpr unsigned T11_ERRGENCLEAR                        = 1134;
    static constexpr unsigned T11_ERRNAMEGENCLEAR                    = 1135;
    static constexpr unsigned T11_ERRDEFCONSTRGENCLEAR               = 1136;
    static constexpr unsigned T11_OBJECTCONVERSIONERROR              = 1137;
    static constexpr unsigned T11_UNKNOWNOBJECTTYPECONSTNOTVALIDATED = 1138;
    static constexpr unsigned T11_ERRITEROVERCONSTRAINTS             = 1139;
    static constexpr unsigned T11_ERRCONSTRAINTNAME                  = 1140;
    static constexpr unsigned T11_FORBIDDENCONSTRAINT                = 1141;
    static constexpr unsigned T11_MISMATCHEDCONSTRAINTTYPE           = 1142;
    static constexpr unsigned T11_MISMATCHEDPARENTINDEX              = 1143;
    static constexpr unsigned T11_INVALIDCHARINCONSTRAINT            = 1144;

    // CDiffPairConsistency
    static constexpr unsigned T12_ERRITERDIFFPAIRS                        = 1201;
    static constexpr unsigned T12_ERRINDEXOFDIFFPAIR                      = 1202;
    static constexpr unsigned T12_ERRNAMEOFDIFFPAIR                       = 1203;
    static constexpr unsigned T12_ERRFIRSTENETOFDIFFPAIR                  = 1204;
    static constexpr unsigned T12_ERRSECONDENETOFDIFFPAIR                 = 1205;
    static constexpr unsigned T12_ERRINDEXFIRSTENETOFDIFFPAIR             = 1206;
    static constexpr unsigned T12_ERRINDEXSECONDENETOFDIFFPAIR            = 1207;
    static constexpr unsigned T12_BOTHENETSOFDIFFPAIREQUAL                = 1208;
    static constexpr unsigned T12_CENTGETTOPOLOGYOFFIRSTENETOFDIFFPAIR    = 1209;
    static constexpr unsigned T12_CENTGETTOPOLOGYOFSECONDENETOFDIFFPAIR   = 1210;
    static constexpr unsigned T12_CENTGETTOPOLOGYOFDIFFPAIR               = 1211;
    static constexpr unsigned T12_DIFFERENTTOPOLOGIESOFENETSINDIFFPAIR    = 1212;
    static constexpr unsigned T12_TOPOLOGYOFENETSINDIFFERENTTHANDIFFPAIRS = 1213;
    static constexpr unsigned T12_NOTALLOWEDTOPOLOGYOFDIFFPAIR            = 1214;
    static constexpr unsigned T12_ERRINDEXOFENET                          = 1215;
    static constexpr unsigned T12_ERRPARENTDIFFPAIROFENET                 = 1216;
    static constexpr unsigned T12_ERRINDEXOFDIFFPAIR_2                    = 1217;
    static constexpr unsigned T12_ERRNAMEOFENET                           = 1218;
    static constexpr unsigned T12_ENETINMANYDIFFPAIRS                     = 1219;
    static constexpr unsigned T12_CANTGETORDERTYPEFROMENET                = 1220;
    static constexpr unsigned T12_ERRINDEXOFDIFFPAIR_3                    = 1221;
    static constexpr unsigned T12_CANTGETORDERTYPEFROMDIFFPAIR            = 1222;
    static constexpr unsigned T12_ERRINDEXOFENET_2                        = 1223;
    static constexpr unsigned T12_ERRITEROFPHYSNETSINENET                 = 1224;
    static constexpr unsigned T12_ERRINDEXOFPHYSNET                       = 1225;
    static constexpr unsigned T12_CANTGETORDERTYPEFROMPNET                = 1226;
    static constexpr unsigned T12_CENTGETTOPOLOGYOFPNET                   = 1227;
    static constexpr unsigned T12_TOPOLOGYOFPNETSINDIFFERENTTHANDIFFPAIRS = 1228;
    static constexpr unsigned T12_ERRNAMEOFPHYSNET                        = 1229;
    static constexpr unsigned T12_ERRITEROFPINS                           = 1230;
    static constexpr unsigned T12_ERRCOUNTOFPINS                          = 1231;
    static constexpr unsigned T12_INSUFFICIENTNROFPINSFORELECNET          = 1232;
    static constexpr unsigned T12_DIFFPAIRNETPOWERNET                     = 1233;
    static constexpr unsigned T12_ERRNETTYPE                              = 1234;
    static constexpr unsigned T12_ERRNAMEOFPNET                           = 1235;

    // CDiffPairNCCheck
    static constexpr unsigned T13_ERRITEROFDIFFPAIRS                   = 1301;
    static constexpr unsigned T13_ERRINDEXOFDIFFPAIR                   = 1302;
    static constexpr unsigned T13_ERRNAMEOFDIFFPAIR                    = 1303;
    static constexpr unsigned T13_ERRFIRSTENETOFDIFFPAIR               = 1304;
    static constexpr unsigned T13_ERRSECONDENETOFDIFFPAIR              = 1305;
    static constexpr unsigned T13_NETCLASSESOFENETSOFDIFFPAIRDIFFERENT = 1306;
    static constexpr unsigned T13_ERRINDEXOFENET                       = 1307;
    static constexpr unsigned T13_ERRITEROVERPNETS                     = 1308;
    static constexpr unsigned T13_ERRINDEXOFPNET                       = 1309;
    static constexpr unsigned T13_ERRNAMEOFPNET                        = 1310;
    static constexpr unsigned T13_CANTGETPCLASSFROMPNET                = 1311;
    static constexpr unsigned T13_CANTGETVALUEOFPCLASSFROMPNET         = 1312;
    static constexpr unsigned T13_WRONGTYPEOFVALUEOFPCLASSFROMPNET     = 1313;

    // CEbdPinUnique
    static constexpr unsigned T14_ERRITEROFCOMPS          = 1401;
    static constexpr unsigned T14_ERRNAMEOFCOMP           = 1402;
    static constexpr unsigned T14_ERRINDEXOFCOMP          = 1403;
    static constexpr unsigned T14_ERRITERPINSOFCOMP       = 1404;
    static constexpr unsigned T14_ERRINDEXOFPIN           = 1405;
    static constexpr unsigned T14_ERRNAMEOFPIN            = 1406;
    static constexpr unsigned T14_DUPLICATEDEBDPIN        = 1407;
    static constexpr unsigned T14_DUPLICATEDEBDPINSINCOMP = 1408;

    // CENetConsistency
    static constexpr unsigned T15_ERRITERENETS                        = 1501;
    static constexpr unsigned T15_ERRINDEXOFENET                      = 1502;
    static constexpr unsigned T15_ERRITEROFPHYSNETSINENET             = 1503;
    static constexpr unsigned T15_ERRINDEXOFPHYSNET                   = 1504;
    static constexpr unsigned T15_ERRTOPOLOGYOFPHYSNET                = 1505;
    static constexpr unsigned T15_ERRTOPOLOGYOFELECNET                = 1506;
    static constexpr unsigned T15_DIFFERENTTOPOLOGIESOFENETANDPHYSNET = 1507;
    static constexpr unsigned T15_ERRINDEXOFPHYSNET_2                 = 1508;
    static constexpr unsigned T15_ERRPARENTENETOFPHYSNET              = 1509;
    static constexpr unsigned T15_ERRINDEXOFENET_2                    = 1510;
    static constexpr unsigned T15_ERRNAMEOFPHYSNET                    = 1511;
    static constexpr unsigned T15_PHYSNETINMANYENETS                  = 1512;
    static constexpr unsigned T15_ERRINDEXOFELECNET_3                 = 1513;
    static constexpr unsigned T15_ERRVALORDERTYPEFROMENET             = 1514;
    static constexpr unsigned T15_ERRINDEXOFPHYSNET_3                 = 1515;
    static constexpr unsigned T15_ERRVALORDERTYPEFROMPHYSNET          = 1516;
    static constexpr unsigned T15_ERRINVALIDDELAYTYPE                 = 1517;
    static constexpr unsigned T15_ERRENETINVALIDTOPOTYPE              = 1518;
    static constexpr unsigned T15_ERRPHYSINVALIDTOPOTYPE              = 1519;

    // CEnetOneAnalogPnet
    static constexpr unsigned T16_ERRITERENETS               = 1601;
    static constexpr unsigned T16_ERRINDEXOFENET             = 1602;
    static constexpr unsigned T16_ERRITERPHYSNETSINENET      = 1603;
    static constexpr unsigned T16_ERRINDEXOFPHYSNET          = 1604;
    static constexpr unsigned T16_ERRDEFINITIONOFCONSTRAINT  = 1605;
    static constexpr unsigned T16_ERRANALOGFROMPNET          = 1606;
    static constexpr unsigned T16_ANALOGFROMPNETINVALIDVALUE = 1607;
    static constexpr unsigned T16_ANALOGENETHASMANYPHYSNETS  = 1608;
    static constexpr unsigned T16_ERRNAMEOFENET              = 1609;

    // CEnetPnetOneConstrClass
    static constexpr unsigned T17_ERRITERENETS                  = 1701;
    static constexpr unsigned T17_ERRINDEXOFENET                = 1702;
    static constexpr unsigned T17_ERRCONSTRAINTCLASSOFENET      = 1703;
    static constexpr unsigned T17_ERRVALCONSTRAINTCLASSFROMENET = 1704;
    static constexpr unsigned T17_ERRITERPNETSINENET            = 1705;
    static constexpr unsigned T17_ERRINDEXPNET                  = 1706;
    static constexpr unsigned T17_ERRCONSTRAINTCLASSOFPNET      = 1707;
    static constexpr unsigned T17_ERRVALOFCONSTRAINTCLASSOFPNET = 1708;
    static constexpr unsigned T17_CCOFPNETDIFFERENTFROMCCOFENET = 1709;

    // CEnetUnique
    static constexpr unsigned T18_ERRITERENETS     = 1801;
    static constexpr unsigned T18_ERRINDEXOFENET   = 1802;
    static constexpr unsigned T18_ERRNAMEOFENET    = 1803;
    static constexpr unsigned T18_DUPLICATEDENETS  = 1804;
    static constexpr unsigned T18_IMPLICITPOWERS   = 1805;
    static constexpr unsigned T18_IMPLICITPOWERS_2 = 1806;

    // CExistAllUsedConstrClasses
    static constexpr unsigned T19_CANTCOLLECTCONSTRAINTCLASSES         = 1901;
    static constexpr unsigned T19_ERRITEROFENETS                       = 1902;
    static constexpr unsigned T19_ERRINDEXOFENET                       = 1903;
    static constexpr unsigned T19_ERRCONSTRAINTCLASSOFENET             = 1904;
    static constexpr unsigned T19_ERRVALUEOFCONSTRAINTCLASSOFENET      = 1905;
    static constexpr unsigned T19_CANTFINDCONSTRAINTCLASSOFENET        = 1906;
    static constexpr unsigned T19_ERRITEROFDIFFPAIRS                   = 1907;
    static constexpr unsigned T19_ERRINDEXOFDIFFPAIR                   = 1908;
    static constexpr unsigned T19_ERRCCOFDIFFPAIR                      = 1909;
    static constexpr unsigned T19_ERRVALUEOFCCOFDIFFPAIR               = 1910;
    static constexpr unsigned T19_CANTFINDCONSTRAINTCLASSFORDIFFPAIR   = 1911;
    static constexpr unsigned T19_ERRITERCHILDRENOFCC                  = 1912;
    static constexpr unsigned T19_ERRNAMEOFCONSTRAINTCLASS             = 1913;
    static constexpr unsigned T19_ERRINDEXOFCONSTRAINTCLASS            = 1914;
    static constexpr unsigned T19_ERRITEROFCHILDRENOFCONSTRAINTCLASS_2 = 1915;

    // CExistAllUsedNetClasses
    static constexpr unsigned T20_CANTCOLLECTNETCLASSES     = 2001;
    static constexpr unsigned T20_ERRITERENETS              = 2002;
    static constexpr unsigned T20_ERRITERDIFFPAIRS          = 2003;
    static constexpr unsigned T20_ERRITERNETCLASSES         = 2004;
    static constexpr unsigned T20_ERRNAMEOFNETCLASS         = 2005;
    static constexpr unsigned T20_ERRINDEXOFNETCLASS        = 2006;
    static constexpr unsigned T20_ERRITERCHILDRENOFNETCLASS = 2007;
    static constexpr unsigned T20_ERRINDEXOFDIFFPAIR        = 2008;
    static constexpr unsigned T20_ERRNAMEOFDIFFPAIR         = 2009;
    static constexpr unsigned T20_ERRFIRSTENETOFDIFFPAIR    = 2010;
    static constexpr unsigned T20_ERRSECONDENETOFDIFFPAIR   = 2011;
    static constexpr unsigned T20_ERRITERPHYSNETSINENET     = 2012;
    static constexpr unsigned T20_ERRINDEXOFPHYSNET         = 2013;
    static constexpr unsigned T20_ERRPCLASSOFPHYSNET        = 2014;
    static constexpr unsigned T20_ERRPCLASSVALUEOFPHYSNET   = 2015;
    static constexpr unsigned T20_CANTFINTNETCLASSOFPHYSNET = 2016;

    // CFlatNetCheck
    static constexpr unsigned T21_ERRITERFLATNETS           = 2101;
    static constexpr unsigned T21_ERRNAMEOFFLATNET          = 2102;
    static constexpr unsigned T21_ERRINDEXOFFLATNET         = 2103;
    static constexpr unsigned T21_ERRITERPAGENETSINFLATNET  = 2104;
    static constexpr unsigned T21_ERRPATHOFPAGENET          = 2105;
    static constexpr unsigned T21_ERRPHYSNETFORFLATNET      = 2106;
    static constexpr unsigned T21_ERRDEFAULTCONFIG          = 2107;
    static constexpr unsigned T21_ERRITERPHYSNETS           = 2108;
    static constexpr unsigned T21_ERRNAMEPHYSNET            = 2109;
    static constexpr unsigned T21_ERRINDEXPHYSNET           = 2110;
    static constexpr unsigned T21_ERRTYPEOFPHYSNET          = 2111;
    static constexpr unsigned T21_CANTFINDFLATNETFORPHYSNET = 2112;
    static constexpr unsigned T21_IMPLICITPHYSNET           = 2113;
    static constexpr unsigned T21_FLATANDPNETNAMEMISMATCH   = 2114;

    // CFromToInOneNet
    static constexpr unsigned T22_ERRITERPHYSNETS                    = 2201;
    static constexpr unsigned T22_ERRINDEXOFPHYSNET                  = 2202;
    static constexpr unsigned T22_CANTGETTOPOLOGYOFPHYSNET           = 2203;
    static constexpr unsigned T22_ERRINDEXOFFROMTO                   = 2204;
    static constexpr unsigned T22_ERRPARENTPHYSNETOFFROMTO           = 2205;
    static constexpr unsigned T22_ERRINDEXPARENTPHYSNETOFFROMTO      = 2206;
    static constexpr unsigned T22_WRONGREFTOPARENTPHYSNETOFFROMTO    = 2207;
    static constexpr unsigned T22_ERRFROMPINOFFROMTO                 = 2208;
    static constexpr unsigned T22_ERRTOPINOFFROMTO                   = 2209;
    static constexpr unsigned T22_NETWITHTOPOLOGYMSTCHAINEDHASFROMTO = 2210;
    static constexpr unsigned T22_ERRPHYSNETFROMCONFIG               = 2211;
    static constexpr unsigned T22_ERRINDEXOFPIN                      = 2212;
    static constexpr unsigned T22_ERRTYPEOFPIN                       = 2213;
    static constexpr unsigned T22_ERRPINSETOFVIRTUALPINSETPIN        = 2214;
    static constexpr unsigned T22_ERRITERPINSINPHYSNET               = 2215;
    static constexpr unsigned T22_ERRINDEXOFPIN_2                    = 2216;
    static constexpr unsigned T22_PININFROMTONOTINTHENET             = 2217;
    static constexpr unsigned T22_CANTGETORDERTYPEFROMPHYSNET        = 2218;
    static constexpr unsigned T22_CANTGETITERFROMTO                  = 2219;

    // CFromToUnique
    static constexpr unsigned T23_ERRITERPHYSNETS           = 2301;
    static constexpr unsigned T23_ERRITERFROMTOS            = 2302;
    static constexpr unsigned T23_ERRINDEXOFFROMTO          = 2303;
    static constexpr unsigned T23_ERRNAMEOFFROMTO           = 2304;
    static constexpr unsigned T23_ERRFROMPINOFFROMTO        = 2305;
    static constexpr unsigned T23_ERRTOPINOFFROMTO          = 2306;
    static constexpr unsigned T23_ERRINDEXOFFROMPINOFFROMTO = 2307;
    static constexpr unsigned T23_ERRINDEXOFTOPINOFFROMTO   = 2308;
    static constexpr unsigned T23_FROMTOINVALID             = 2309;
    static constexpr unsigned T23_FROMTOPINSARETHESAMEPIN   = 2310;
    static constexpr unsigned T23_FROMTODUPLICATEDINPHYSNET = 2311;
    static constexpr unsigned T23_ERRINDEXOFPIN             = 2312;
    static constexpr unsigned T23_ERRITERPINSINPHYSNET      = 2313;
    static constexpr unsigned T23_ERRINDEXOFPINFROMPHYSNET  = 2314;
    static constexpr unsigned T23_FROMTOINVALIDTYPEORNET    = 2315;

    // CLayerInAllClearRules
    static constexpr unsigned T24_ERRITEROFSCHEMES                        = 2401;
    static constexpr unsigned T24_ERRINDEXOFSCHEME                        = 2402;
    static constexpr unsigned T24_ERRNAMEOFSCHEME                         = 2403;
    static constexpr unsigned T24_ERRITERCLEARRULESINSCHEME               = 2404;
    static constexpr unsigned T24_ERRINDEXCLEARRULE                       = 2405;
    static constexpr unsigned T24_ERRITERLAYERCLEARRULESINSCHEMECLEARRULE = 2406;
    static constexpr unsigned T24_ERRLAYERCLEARRULENUMBER                 = 2407;
    static constexpr unsigned T24_ERRLAYERCLEARRULEPARENTLAYER            = 2408;
    static constexpr unsigned T24_ERRINDEXCLEARRULEPARENTLAYER            = 2409;
    static constexpr unsigned T24_ERRITERLAYERSINDESIGN                   = 2410;
    static constexpr unsigned T24_ERRTYPELAYERINDESIGN                    = 2411;
    static constexpr unsigned T24_ERRLAYERNUMBER                          = 2412;
    static constexpr unsigned T24_ERRLAYERMETALLICNUMBER                  = 2413;
    static constexpr unsigned T24_ERRLAYERINDEX                           = 2414;
    static constexpr unsigned T24_ERRMETALLICLAYERHASINVALIDNUMBER        = 2415;
    static constexpr unsigned T24_LAYEROBJECTSDIFFERENTFORSAMELAYERNUMBER = 2416;
    static constexpr unsigned T24_LAYERNUMBERSDIFFERENTFORSAMELAYEROBJECT = 2417;
    static constexpr unsigned T24_NOLAYERFORRULELAYER                     = 2418;
    static constexpr unsigned T24_MANYLAYERSFORRULELAYER                  = 2419;
    static constexpr unsigned T24_SOMERULELAYERSMAPPEDTONOLAYERS          = 2420;
    static constexpr unsigned T24_MORERULELAYERSMAPPEDTOONELAYER          = 2421;

    // CLayerInAllNetClasses
    static constexpr unsigned T25_ERRITEROFSCHEMES                      = 2501;
    static constexpr unsigned T25_ERRINDEXOFSCHEME                      = 2502;
    static constexpr unsigned T25_ERRNAMEOFSCHEME                       = 2503;
    static constexpr unsigned T25_ERRITERNETCLASSESINSCHEME             = 2504;
    static constexpr unsigned T25_ERRINDEXOFSCHEMANETCLASSRULE          = 2505;
    static constexpr unsigned T25_ERRITERLAYERRULESOFSCHEMANETCLASSRULE = 2506;
    static constexpr unsigned T25_ERRLAYERRULENYMBER                    = 2507;
    static constexpr unsigned T25_ERRLAYERRULEPARENTLAYER               = 2508;
    static constexpr unsigned T25_ERRINDEXLAYERRULEPARENTLAYER          = 2509;
    static constexpr unsigned T25_ERRITERLAYERSFROMDESIGN               = 2510;
    static constexpr unsigned T25_ERRTYPEOFLAYER                        = 2511;
    static constexpr unsigned T25_ERRNUMBEROFLAYER                      = 2512;
    static constexpr unsigned T25_ERRMETALLICNUMBEROFLAYER              = 2513;
    static constexpr unsigned T25_ERRINDEXOFLAYER_2                     = 2514;
    static constexpr unsigned T25_ERRTYPEOFLAYER_2                      = 2515;
    static constexpr unsigned T25_METALLICLAYERHASILLEGALNUMBER         = 2516;
    static constexpr unsigned T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT = 2517;
    static constexpr unsigned T25_RULELAYERNUMBERDOESNTMATCHLAYERNUMBER = 2518;
    static constexpr unsigned T25_NOLAYERFORRULELAYER                   = 2519;
    static constexpr unsigned T25_MANYLAYERSFORRULELAYER                = 2520;
    static constexpr unsigned T25_RULELAYERSMAPPEDTONOLAYERS            = 2521;
    static constexpr unsigned T25_MANYRULELAYERSMAPPEDTOLAYER           = 2522;
    static constexpr unsigned T25_ERRINDEXSCHEMENETCLASS                = 2523;
    static constexpr unsigned T25_ERRNAMESCHEMENETCLASS                 = 2524;
    static constexpr unsigned T25_ERRLOWERLEVELSSCHEMENETCLASS          = 2525;
    static constexpr unsigned T25_ERRNAMEOFLAYER                        = 2526;

    // CLayerInZAxisRules
    static constexpr unsigned T26_ERRITEROFZAXISRULES           = 2601;
    static constexpr unsigned T26_ERRINDEXOFZAXISRULE           = 2602;
    static constexpr unsigned T26_ERRNAMEOFZAXISRULE            = 2603;
    static constexpr unsigned T26_ERRITERLAYERSOFZAXISRULE      = 2604;
    static constexpr unsigned T26_ERRNAMELAYER                  = 2605;
    static constexpr unsigned T26_ERRITERLAYERSINDESIGN         = 2606;
    static constexpr unsigned T26_ERRINDEXLAYER                 = 2607;
    static constexpr unsigned T26_ERRTYPELAYER                  = 2608;
    static constexpr unsigned T26_ERRNAMELAYER_2                = 2609;
    static constexpr unsigned T26_MISSINGLAYER                  = 2610;
    static constexpr unsigned T26_MORETHANONELAYERINZAXISRULE   = 2611;
    static constexpr unsigned T26_UNKNOWNLAYERINZAXISRULE       = 2612;
    static constexpr unsigned T26_MORETHANONELAYERINZAXISRULE_2 = 2613;

    // CLayerNumbering
    static constexpr unsigned T27_ERRITEROFLAYERSINDESIGN                         = 2701;
    static constexpr unsigned T27_ERRINDEXOFLAYER                                 = 2702;
    static constexpr unsigned T27_ERRTYPEOFLAYER                                  = 2703;
    static constexpr unsigned T27_ERRNUMBEROFLAYER                                = 2704;
    static constexpr unsigned T27_ERRMETALLICNUMBEROFLAYER                        = 2705;
    static constexpr unsigned T27_FORBIDDENNUMBEROFLAYER                          = 2706;
    static constexpr unsigned T27_FORBIDDENNUMBEROFMETALLICLAYER                  = 2707;
    static constexpr unsigned T27_FORBIDDENMETALLICNUMBERODIELECTRICFLAYER        = 2708;
    static constexpr unsigned T27_MAXNUMGREATERTHANNUMBEROFLAYERS                 = 2709;
    static constexpr unsigned T27_MAXMETALLICNUMGREATERTHANNUMBEROFMETALLICLAYERS = 2710;
    static constexpr unsigned T27_DUPLICATEDLAYERNUMBER                           = 2711;
    static constexpr unsigned T27_DUPLICATEDMETALLICLAYERNUMBER                   = 2712;
    static constexpr unsigned T27_DUPLICATEDLAYERNAME                             = 2713;
    static constexpr unsigned T27_ERRNAMEOFLAYER                                  = 2714;
    static constexpr unsigned T27_ERRMISSINGNAME                                  = 2715;
    static constexpr unsigned T27_ERRMISSINGLAYERUSAGE                            = 2716;

    // CNetClassesInScheme
    static constexpr unsigned T28_ERRITEROFSCHEMES                                  = 2801;
    static constexpr unsigned T28_ERRINDEXOFSCHEME                                  = 2802;
    static constexpr unsigned T28_ERRNAMEOFSCHEME                                   = 2803;
    static constexpr unsigned T28_ERRITEROFNETCLASSESINSCHEME                       = 2804;
    static constexpr unsigned T28_ERRITEROFNETCLASSES                               = 2805;
    static constexpr unsigned T28_ERRINDEXOFSCHEMENETCLASS                          = 2806;
    static constexpr unsigned T28_ERRNAMEOFSCHEMENETCLASS                           = 2807;
    static constexpr unsigned T28_ERRPARENTNETCLASSOFSCHEMENETCLASS                 = 2808;
    static constexpr unsigned T28_ERRINDEXOFPARENTNETCLASSOFSCHEMENETCLASS          = 2809;
    static constexpr unsigned T28_ERRPARENTSCHEMEOFSCHEMENETCLASS                   = 2810;
    static constexpr unsigned T28_ERRINDEXOFPARENTSCHEMEOFSCHEMENETCLASS            = 2811;
    static constexpr unsigned T28_PARENTSCHEMEOFSCHEMENETCLASSDIFFERENTTHANEXAMINED = 2812;
    static constexpr unsigned T28_ERRINDEXOFNETCLASS                                = 2813;
    static constexpr unsigned T28_ERRNAMEOFNETCLASS                                 = 2814;
    static constexpr unsigned T28_SCHEMENETCLASSNOTDERIVERFROMNETCLASSWITHSAMENAME  = 2815;
    static constexpr unsigned T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS         = 2816;
    static constexpr unsigned T28_NETCLASSPROBABLYDUPLICATED                        = 2817;
    static constexpr unsigned T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS          = 2818;
    static constexpr unsigned T28_NETCLASSHASMANYCORRESPONDINGSCHEMENETCLASSES      = 2819;
    static constexpr unsigned T28_ERRCHEMENETCLASSFROMUIDMAN                        = 2820;
    static constexpr unsigned T28_ERRNETCLASSFROMUIDMAN                             = 2821;
    static constexpr unsigned T28_ERRITERNETCLASSCHILDREN                           = 2822;
    static constexpr unsigned T28_ERRITERSCHEMENETCLASSCHILDREN                     = 2823;
    static constexpr unsigned T28_ERRNETCLASSFROMDESIGN                             = 2824;
    static constexpr unsigned T28_ERRLISTOFNETCLASSESFROMSCHEMENETCLASS             = 2826;
    static constexpr unsigned T28_CANTREACHSCHEMENETCLASSFROMNETCLASS               = 2827;
    static constexpr unsigned T28_DUPLICATEDGLOBALNETCLASS                          = 2828;
    static constexpr unsigned T28_SCHEMENETCLASSHASNODEFAULTNETCLASS                = 2829;

    // CNetClassNameUnique
    static constexpr unsigned T29_ERRITERNETCLASSES           = 2901;
    static constexpr unsigned T29_ERRITERNETCLASSES_2         = 2902;
    static constexpr unsigned T29_ERRINDEXNETCLASS            = 2903;
    static constexpr unsigned T29_ERRNAMENETCLASS             = 2904;
    static constexpr unsigned T29_NETCLASSHASINVALIDCHARS     = 2905;
    static constexpr unsigned T29_NETCLASSNAMEHANEWINSIDE     = 2906;
    static constexpr unsigned T29_NETCLASSNAMEDUPLICATED      = 2907;
    static constexpr unsigned T29_ERRINDEXOFNETCLASS_2        = 2908;
    static constexpr unsigned T29_ERRNAMEOFNETCLASS_2         = 2909;
    static constexpr unsigned T29_ERRITERCHILDRENOFNETCLASS   = 2910;
    static constexpr unsigned T29_ERRITERCHILDRENOFNETCLASS_2 = 2911;

    // CNoiseRuleChecker
    static constexpr unsigned T30_ERRITERNOUSERULES                     = 3001;
    static constexpr unsigned T30_ERRTYPEOFNOISERULE                    = 3002;
    static constexpr unsigned T30_ERRNOVICTIMFORNOISERULE               = 3003;
    static constexpr unsigned T30_ERRNOAGRESSORFORNOISERULE             = 3004;
    static constexpr unsigned T30_ERRNOVICTIMSPECIFIEDFORNOISERULE      = 3005;
    static constexpr unsigned T30_ERRNOAGRESSORSPECIFIEDFORNOISERULE    = 3006;
    static constexpr unsigned T30_CANTFINDCONSTRAINTCLASSFORNOISERULE   = 3007;
    static constexpr unsigned T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_2 = 3008;
    static constexpr unsigned T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_3 = 3009;
    static constexpr unsigned T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_4 = 3010;
    static constexpr unsigned T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_5 = 3011;
    static constexpr unsigned T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_6 = 3012;
    static constexpr unsigned T30_CANTFINDNETFORNOISERULE               = 3013;
    static constexpr unsigned T30_CANTFINDNETFORNOISERULE_2             = 3014;

    // CPartHasName
    static constexpr unsigned T31_ERRITEROVERPARTS     = 3101;
    static constexpr unsigned T31_ERRINDEXOFPART       = 3102;
    static constexpr unsigned T31_ERRNAMEOFPART        = 3103;
    static constexpr unsigned T31_NAMEOFPARTEMPTY      = 3104;
    static constexpr unsigned T31_NAMEOFPARTDUPLICATED = 3105;

    // CPartPinPairValid
    static constexpr unsigned T32_ERRITEROVERPARTS                         = 3201;
    static constexpr unsigned T32_ERRINDEXOFPART                           = 3202;
    static constexpr unsigned T32_ERRNAMEOFPART                            = 3203;
    static constexpr unsigned T32_ERRITEROVERPARTPINS                      = 3204;
    static constexpr unsigned T32_PARTPINPAIRSHAVESAMENAMES                = 3205;
    static constexpr unsigned T32_PARTPINPAIRSDUPLICATED                   = 3206;
    static constexpr unsigned T32_PARTPINPAIRSDUPLICATED_2                 = 3207;
    static constexpr unsigned T32_ERRLISTOFPINPAIRSFORFIRSTPIN             = 3208;
    static constexpr unsigned T32_ERRINDEXOFPIN                            = 3209;
    static constexpr unsigned T32_ERRPARENTPARTFORPIN                      = 3210;
    static constexpr unsigned T32_ERRPARENTPARTFORFIRSTPIN                 = 3211;
    static constexpr unsigned T32_WRONGPARTPINPARENT                       = 3212;
    static constexpr unsigned T32_ERRPARENTPARTOFPARTPINPAIR               = 3213;
    static constexpr unsigned T32_ERRINDEXOFPARENTPARTOFPARTPINPAIR        = 3214;
    static constexpr unsigned T32_WRONGPARTPINPAIRPARENT                   = 3215;
    static constexpr unsigned T32_ERRINDEXOFPARTPINPAIR                    = 3216;
    static constexpr unsigned T32_ERRFIRSTPINOFPARTPINPAIR                 = 3217;
    static constexpr unsigned T32_ERRFIRSTPINOFPARTPINPAIRINVALID          = 3218;
    static constexpr unsigned T32_ERRINDEXFIRSTPINOFPARTPINPAIR            = 3219;
    static constexpr unsigned T32_ERRZEROINDEXFIRSTPINOFPARTPINPAIR        = 3220;
    static constexpr unsigned T32_ERRSECONDPINOFPARTPINPAIR                = 3221;
    static constexpr unsigned T32_ERRSECONDPINOFPARTPINPAIRINVALID         = 3222;
    static constexpr unsigned T32_ERRINDEXSECONDPINOFPARTPINPAIR           = 3223;
    static constexpr unsigned T32_ERRZEROINDEXSECONDPINOFPARTPINPAIR       = 3224;
    static constexpr unsigned T32_ERRTHESAMEBOTHPINSOFPARTPINPAIR          = 3225;
    static constexpr unsigned T32_ERRNAMEOFPARTPINPAIR                     = 3226;
    static constexpr unsigned T32_WRONGPARENTPARTFORPARTPINOFPARTPINPAIR   = 3227;
    static constexpr unsigned T32_WRONGPARENTPARTFORPARTPINOFPARTPINPAIR_2 = 3228;
    static constexpr unsigned T32_WRONGPARENTPAIRFORPARTPINOFPARTPINPAIR   = 3229;
    static constexpr unsigned T32_WRONGPARENTPAIRFORPARTPINOFPARTPINPAIR_2 = 3230;

    // CPartPinValid
    static constexpr unsigned T33_ERRITEROVERPARTS              = 3301;
    static constexpr unsigned T33_ERRINDEXOFRPART               = 3302;
    static constexpr unsigned T33_ERRNAMEOFRPART                = 3303;
    static constexpr unsigned T33_ERRITEROVERPARTPINS           = 3304;
    static constexpr unsigned T33_ERRPARENTPARTOFPARTPIN        = 3305;
    static constexpr unsigned T33_ERRINDEXOFPARENTPARTOFPARTPIN = 3306;
    static constexpr unsigned T33_WRONGPARTPINPARENT            = 3307;

    // CPinConnection
    static constexpr unsigned T34_ERRITEROVERPHYSNETS                 = 3401;
    static constexpr unsigned T34_ERRINDEXOFPHYSNET                   = 3402;
    static constexpr unsigned T34_ERRNAMEOFPHYSNET                    = 3403;
    static constexpr unsigned T34_ERRITERPINSINPHYSNET                = 3404;
    static constexpr unsigned T34_ERRINDEXOFPIN                       = 3405;
    static constexpr unsigned T34_ERRITEROVERCOMPONENTS               = 3406;
    static constexpr unsigned T34_ERRITEROVERPINSINCOMPONENT          = 3407;
    static constexpr unsigned T34_ERRINDEXOFPIN_2                     = 3408;
    static constexpr unsigned T34_ERRINDEXOFPARENTNETFORPIN           = 3409;
    static constexpr unsigned T34_WRONGRELATIONTOPARENTNETFORPIN      = 3410;
    static constexpr unsigned T34_PINUSEDMORETHANONCEINCOMPONENTS     = 3411;
    static constexpr unsigned T34_COMPONENTPININNETBUTNOTINCOMPONENTS = 3412;

    // CPinInComponent
    static constexpr unsigned T35_ERRITEROVERPHYSNETS           = 3501;
    static constexpr unsigned T35_ERRNAMEOFPHYSNET              = 3502;
    static constexpr unsigned T35_ERRINDEXOFPHYSNET             = 3503;
    static constexpr unsigned T35_ERRITEROVERPINSINPHYSNET      = 3504;
    static constexpr unsigned T35_ERRINDEXOFPIN                 = 3505;
    static constexpr unsigned T35_ERRPARENTCOMPONENTOFPIN       = 3506;
    static constexpr unsigned T35_NETHASTOOFEWPINS              = 3507;
    static constexpr unsigned T35_SOMENETHASTOOFEWPINS          = 3508;
    static constexpr unsigned T35_SOMEPINSHAVENOPARENTCOMPONENT = 3509;

    // CPinPairAndTopology
    static constexpr unsigned T36_ERRITEROVERELECNETS            = 3601;
    static constexpr unsigned T36_ERRTOPOLOGYOFRELECNET          = 3602;
    static constexpr unsigned T36_ERRITEROVERPINPAIRSINELECNET   = 3603;
    static constexpr unsigned T36_PINPAIRSNOTALLOWEDFORTOPOLOGY  = 3604;
    static constexpr unsigned T36_ERRVALUEOFORDERTYPEFROMELECNET = 3605;

    // CPinPairUnique
    static constexpr unsigned T37_ERRITEROVERELECNETS                      = 3701;
    static constexpr unsigned T37_ERRITEROVERPINPAIRS                      = 3702;
    static constexpr unsigned T37_ERRINDEXOFPINPAIR                        = 3703;
    static constexpr unsigned T37_ERRTYPEOFPINPAIR                         = 3704;
    static constexpr unsigned T37_ERRNAMEOFPINPAIR                         = 3705;
    static constexpr unsigned T37_ERRPARENTELECNETOFPINPAIR                = 3706;
    static constexpr unsigned T37_ERRINDEXOFPARENTELECNETOFPINPAIR         = 3707;
    static constexpr unsigned T37_WRONGREFERENCEFROMPINPAIRTOPARENTELECNET = 3708;
    static constexpr unsigned T37_ERRFIRSTPINOFPINPAIR                     = 3709;
    static constexpr unsigned T37_ERRSECONDPINOFPINPAIR                    = 3710;
    static constexpr unsigned T37_ERRINDEXOFFIRSTPINOFPINPAIR              = 3711;
    static constexpr unsigned T37_ERRINDEXOFSECONDPINOFPINPAIR             = 3712;
    static constexpr unsigned T37_PAIRINVALID                              = 3713;
    static constexpr unsigned T37_PAIRINVALIDPINUSEDTWICE                  = 3714;
    static constexpr unsigned T37_CONNECTIONPAIRINVALIDPINUSEDTWICE        = 3715;
    static constexpr unsigned T37_UNKNOWNPAIRINVALIDPINUSEDTWICE           = 3716;
    static constexpr unsigned T37_ENETHASDUPLICATEDPINPAIRS                = 3717;
    static constexpr unsigned T37_ENETHASDUPLICATEDCONNECTIONPINPAIRS      = 3718;
    static constexpr unsigned T37_ENETHASDUPLICATEDUNKNOWNPINPAIRS         = 3719;
    static constexpr unsigned T37_ERRINDEXOFPIN                            = 3720;
    static constexpr unsigned T37_ERRITEROVERPHYSNETSINELECNET             = 3721;
    static constexpr unsigned T37_ERRITEROVERPINSINPHYSNET                 = 3722;
    static constexpr unsigned T37_ERRINDEXOFRETRIEVEDPIN                   = 3723;
    static constexpr unsigned T37_ENETHASINVALIDPINPAIR                    = 3724;

    // CPinsetsTreeLike
    static constexpr unsigned T38_ERRITEROVERPHYSNETS               = 3801;
    static constexpr unsigned T38_ERRINDEXOFPHYSNET                 = 3802;
    static constexpr unsigned T38_ERRITEROVERPINSINPHYSNET          = 3803;
    static constexpr unsigned T38_ERRINDEXOFPIN                     = 3804;
    static constexpr unsigned T38_ERRNORVTYPEOFPIN                  = 3805;
    static constexpr unsigned T38_ERRVIRTUALPINSETPINFORPINSET      = 3806;
    static constexpr unsigned T38_ERRINDEXVIRTUALPINSETPINFORPINSET = 3807;
    static constexpr unsigned T38_RECURSIVECYCLEOFPINSETS           = 3808;
    static constexpr unsigned T38_ERRNORVPINFROMUIDMAN              = 3809;
    static constexpr unsigned T38_ERRNORVPINTYPE_2                  = 3810;
    static constexpr unsigned T38_WRONGNORVPINTYPE                  = 3811;
    static constexpr unsigned T38_ERRITERNORVPINFROMPIN             = 3812;
    static constexpr unsigned T38_ERRINDEXOFPIN_2                   = 3813;
    static constexpr unsigned T38_PININPINSETNOTINNET               = 3814;
    static constexpr unsigned T38_NOPINSETFORVIRTUALPINSETPIN       = 3815;

    // CPinsetsValidation
    static constexpr unsigned T39_ERRITEROVERPHYSNETS                      = 3901;
    static constexpr unsigned T39_ERRINDEXOFPHYSNET                        = 3902;
    static constexpr unsigned T39_ERRTOPOLOGYOFPHYSNET                     = 3903;
    static constexpr unsigned T39_ERRITEROFPINSINPHYSNET                   = 3904;
    static constexpr unsigned T39_ERRINDEXOFPININPHYSNET                   = 3905;
    static constexpr unsigned T39_ERRTYPEOFPININPHYSNET                    = 3906;
    static constexpr unsigned T39_ERRITEROFPINSETSINPHYSNET                = 3907;
    static constexpr unsigned T39_ERRINDEXOFPINSETINPHYSNET                = 3908;
    static constexpr unsigned T39_NETOTHERTHANCOMPLEXHASPINSET             = 3909;
    static constexpr unsigned T39_NUMVIRTPINSETPINSDIFFERENTTHANNUMPINSETS = 3910;
    static constexpr unsigned T39_ERRINDEXOFPIN                            = 3911;
    static constexpr unsigned T39_ERRTYPEOFPIN                             = 3912;
    static constexpr unsigned T39_ERRITEROFPINSINPINSET                    = 3913;
    static constexpr unsigned T39_ERRINDEXOFPIN_2                          = 3914;
    static constexpr unsigned T39_ERRTYPEOFPIN_2                           = 3915;
    static constexpr unsigned T39_PINSETCONTAINVIRTUALPIN                  = 3916;
    static constexpr unsigned T39_ERRITEROVERPINSETSINPINSET               = 3917;
    static constexpr unsigned T39_ERRINDEXOFPINSET                         = 3918;
    static constexpr unsigned T39_PINSETCONTAINTOTHERPINSETASPIN           = 3919;
    static constexpr unsigned T39_PININPINSETNOTINPINSOFNET                = 3920;
    static constexpr unsigned T39_CANTGETORDERTYPEFROMPNET                 = 3921;
    static constexpr unsigned T39_ERRNAMEOFPHYSNET                         = 3922;

    // CPnetUnique
    static constexpr unsigned T40_ERRITERPHYSNETS      = 4000;
    static constexpr unsigned T40_ERRINDEXELECNET      = 4001;
    static constexpr unsigned T40_ERRNAMEELECNET       = 4002;
    static constexpr unsigned T40_ERRPARENTELECNETPHYS = 4003;
    static constexpr unsigned T40_ERRPARENTELECNET     = 4004;
    static constexpr unsigned T40_ERRINDEXPHYSNET      = 4005;
    static constexpr unsigned T40_ERRWRONGNETSREF      = 4006;
    static constexpr unsigned T40_ERRPHYSNETNOTUNIEQUE = 4007;
    static constexpr unsigned T40_IMPLICITPOWERS       = 4008;

    // CRefDesVsCompName
    static constexpr unsigned T41_ERRITERFORCOMPS       = 4100;
    static constexpr unsigned T41_ERRINDEXOFCOMP        = 4101;
    static constexpr unsigned T41_ERRNAMEOFCOMP         = 4102;
    static constexpr unsigned T41_ERRITERFORLOGICALCOMP = 4103;
    static constexpr unsigned T41_ERRGETREFDES          = 4104;
    static constexpr unsigned T41_ERRREFDESEMPTY        = 4105;
    static constexpr unsigned T41_ERRREFDESDIFFERENT    = 4106;

    // CPinSetUnique
    static constexpr unsigned T50_ERRITEROVERPHYSNETS         = 5001;
    static constexpr unsigned T50_ERRITEROVERPINSINPHYSNET    = 5002;
    static constexpr unsigned T50_PHYSNETHASDUPLICATEDPINSETS = 5003;
    static constexpr unsigned T50_ERRNAMEOFPHYSNET            = 5004;
    static constexpr unsigned T50_ERRINDEXOFPHYSNET           = 5005;
    static constexpr unsigned T50_ERRNAMEOFPINSET             = 5006;
    static constexpr unsigned T50_ERRINDEXOFPINSET            = 5007;

    // CPinUnique
    static constexpr unsigned T51_ERRITEROVERPHYSNETS                   = 5101;
    static constexpr unsigned T51_ERRINDEXOFPHYSNET                     = 5102;
    static constexpr unsigned T51_ERRITEROFPINSINPHYSNET                = 5103;
    static constexpr unsigned T51_ERRINDEXOFPINSINPHYSNET               = 5104;
    static constexpr unsigned T51_ERRPHYSNETHASTOOFEWPINS               = 5105;
    static constexpr unsigned T51_ERRPINDUPLICATEDINPHYSNET             = 5106;
    static constexpr unsigned T51_PININTWOPHYSNETS_1                    = 5107;
    static constexpr unsigned T51_PININTWOPHYSNETS_2                    = 5108;
    static constexpr unsigned T51_SOMEPHYSNETSHAVENOPPINS               = 5109;
    static constexpr unsigned T51_SOMEPINSDUPLICATEDINSAMENETPHYSNETS   = 5110;
    static constexpr unsigned T51_SOMEPINSDUPLICATEDINDIFFERENTPHYSNETS = 5111;
    static constexpr unsigned T51_ERRNAMEOFPHYSNET                      = 5112;

    // CPinUniqueInPart
    static constexpr unsigned T52_ERRITEROVERPARTS                              = 5201;
    static constexpr unsigned T52_ERRINDEXOFPART                                = 5202;
    static constexpr unsigned T52_ERRNAMEOFPART                                 = 5203;
    static constexpr unsigned T52_ERRITERPINSINPART                             = 5204;
    static constexpr unsigned T52_ERRINDEXOFPIN                                 = 5205;
    static constexpr unsigned T52_ERRNAMEOFPIN                                  = 5206;
    static constexpr unsigned T52_ERRPARENTPARTOFPIN                            = 5207;
    static constexpr unsigned T52_ERRINDEXOFPARENTPARTOFPIN                     = 5208;
    static constexpr unsigned T52_INDEXOFPARENTPARTOFPINDIFFERSFROMEXAMINEDPART = 5209;
    static constexpr unsigned T52_TWOPINSWITHSAMENAMEINPART                     = 5210;
    static constexpr unsigned T52_ERRITEROVERPINSINPART_2                       = 5211;
    static constexpr unsigned T52_ERRINDEXOFPARTPINPAIR                         = 5212;
    static constexpr unsigned T52_ERRNAMEOFPARTPINPAIR                          = 5213;
    static constexpr unsigned T52_ERRFIRSTPINOFPARTPINPAIR                      = 5214;
    static constexpr unsigned T52_ERRSECONDPINOFPARTPINPAIR                     = 5215;
    static constexpr unsigned T52_ERRINDEXOFFIRSTPINOFPARTPINPAIR               = 5216;
    static constexpr unsigned T52_ERRINDEXOFSECONDPINOFPARTPINPAIR              = 5217;
    static constexpr unsigned T52_BOTHPINSOFPARTPINPAIRARETHESAMEPIN            = 5218;
    static constexpr unsigned T52_DUPLICATEDPARTPINPAIRINPART                   = 5219;

    // CValidNames
    static constexpr unsigned T53_ERRITEROVERSCHEMES           = 5301;
    static constexpr unsigned T53_ERRITEROVERCLEARRULES        = 5302;
    static constexpr unsigned T53_ERRINDEXOFSCHEME             = 5303;
    static constexpr unsigned T53_ERRNAMEOFSCHEME              = 5304;
    static constexpr unsigned T53_SCHEMENAMEHASINVALIDCHARS    = 5305;
    static constexpr unsigned T53_DUPLICATEDSCHEMENAMES        = 5306;
    static constexpr unsigned T53_ERRINDEXCLEARRULE            = 5307;
    static constexpr unsigned T53_ERRNAMECLEARRULE             = 5308;
    static constexpr unsigned T53_CLEARRULENAMEHASINVALIDCHARS = 5309;
    static constexpr unsigned T53_CLEARRULENAMESDUPLICATED     = 5310;

    // CConsChecker
    static constexpr unsigned T54_CANTLOADSPECIFIEDCNSFILE                          = 5401;
    static constexpr unsigned T54_ERRITEROVERELECNETS                               = 5402;
    static constexpr unsigned T54_ERRITEROVERPHYSNETSINELECNET                      = 5403;
    static constexpr unsigned T54_ERRITEROVERFROMTOSINPHYSNET                       = 5404;
    static constexpr unsigned T54_ERRITEROVERPINSINPHYSNET                          = 5405;
    static constexpr unsigned T54_ERRITEROVERPINSETCHAINSSINPHYSNET                 = 5406;
    static constexpr unsigned T54_ERRITEROVERPINSETTINPHYSNET                       = 5407;
    static constexpr unsigned T54_ERRITEROVERPINSETMSTINPHYSNET                     = 5408;
    static constexpr unsigned T54_ERRITEROVERPINSETBALANCEINPHYSNET                 = 5409;
    static constexpr unsigned T54_ERRITEROVERVIRTUALSPININPHYSNET                   = 5410;
    static constexpr unsigned T54_ERRITEROVERGUIDEPINSINPHYSNET                     = 5411;
    static constexpr unsigned T54_ERRITEROVEREBDPINSINPHYSNET                       = 5412;
    static constexpr unsigned T54_ERRITEROVERBOUNDARYPINSINPHYSNET                  = 5413;
    static constexpr unsigned T54_ERRITEROVERVIRTUALPINSETPINSINPHYSNET             = 5414;
    static constexpr unsigned T54_ERRITEROVERPINPAIRSINELECNET                      = 5415;
    static constexpr unsigned T54_ERRITEROVERCONNECTIONPINPAIRSINELECNET            = 5416;
    static constexpr unsigned T54_ERRITEROVERDIFFPAIRSINNORVCFG                     = 5417;
    static constexpr unsigned T54_ERRITEROVERCOMPSINNORVCFG                         = 5418;
    static constexpr unsigned T54_ERRITEROVERPARTSINNORVCFG                         = 5419;
    static constexpr unsigned T54_ERRITEROVERPARTPINSINPART                         = 5420;
    static constexpr unsigned T54_ERRITEROVERLAYERSINDESIGN                         = 5421;
    static constexpr unsigned T54_ERRITEROVERVIASPANSINDESIGN                       = 5422;
    static constexpr unsigned T54_ERRITEROVERC2CCLEARRULESINDESIGN                  = 5423;
    static constexpr unsigned T54_ERRITEROVERPKGTYPECLEARRULESINDESIGN              = 5424;
    static constexpr unsigned T54_ERRITEROVERP2PCLEARRULESINDESIGN                  = 5425;
    static constexpr unsigned T54_ERRITEROVERPARRULEDEFSINDESIGN                    = 5426;
    static constexpr unsigned T54_ERRITEROVERPARRULESECTIONSINDESIGN                = 5427;
    static constexpr unsigned T54_ERRITEROVERNOISERULESINDESIGN                     = 5428;
    static constexpr unsigned T54_ERRITEROVERSCHEMESINDESIGN                        = 5429;
    static constexpr unsigned T54_ERRITEROVERSCHEMANETCLASSRULESINSCHEME            = 5430;
    static constexpr unsigned T54_ERRITEROVERVIAASSIGNSINSCHEME                     = 5431;
    static constexpr unsigned T54_ERRITEROVERLAYERRULESINSCHEMENETCLASS             = 5432;
    static constexpr unsigned T54_ERRITEROVERSCHEMACLEARRULESINSCHEME               = 5433;
    static constexpr unsigned T54_ERRITEROVERLAYERRULESINSCHEMECLEARRULE            = 5434;
    static constexpr unsigned T54_ERRCONSTRAINTVALUE                                = 5435;
    static constexpr unsigned T54_ERRCONSTRAINTDEFVALUE                             = 5436;
    static constexpr unsigned T54_MISMATCHINCONSTRAINTTYPE                          = 5437;
    static constexpr unsigned T54_ERRORINOBJECTCONVERSION                           = 5438;
    static constexpr unsigned T54_UNKNOWNOBJECTTYPE                                 = 5439;
    static constexpr unsigned T54_SOMECONSTRAINTSNOTVALIDATED                       = 5440;
    static constexpr unsigned T54_UNKNOWNCONSTRAINTNAMECONSTRAINTNOTVALIDATED       = 5441;
    static constexpr unsigned T54_CANTGETCONSTRAINTDEFINITIONCONSTRAINTNOTVALIDATED = 5442;
    static constexpr unsigned T54_VALUEEQUALSDEFAULTVALUE                           = 5443;
    static constexpr unsigned T54_FORBIDDENCONSTRAINT                               = 5444;
    static constexpr unsigned T54_MISMATCHINCONSTRAINTTYPE_2                        = 5445;
    static constexpr unsigned T54_MISMATCHINPARENTINDEX                             = 5446;
    static constexpr unsigned T54_MISMATCHINPARENTINDEXDEFHASPARENT                 = 5447;
    static constexpr unsigned T54_INVALIDCHARINCONSTRAINT                           = 5448;
    static constexpr unsigned T54_ADDEDNONSTANDARDCONSTRAINT                        = 5449;
    static constexpr unsigned T54_NOLEVELFORTHISOWNER_ENET                          = 5450;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_PNET                      = 5451;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_PINPAIR                   = 5452;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_FROMTO                    = 5453;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVPIN                   = 5454;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_DIFFPAIR                  = 5455;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_CONSTRCLASS               = 5456;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVPART                  = 5457;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVPARTPIN               = 5458;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVPARTPINPAIR           = 5459;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVCOMP                  = 5460;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVDESIGN                = 5461;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_CONSTVAR                  = 5462;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_GENCLEAR                  = 5463;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NORVSCHEME                = 5464;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NETCLASS                  = 5465;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_CLEARRULE                 = 5466;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_VIA                       = 5467;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_VIASPAN                   = 5468;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_PARRULEDEF                = 5469;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_PKGTYPECLEARRULE          = 5470;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_PARRULESECTION            = 5471;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_PARTTECH                  = 5472;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_LAYERRULE                 = 5473;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_SCHEMENETCLASSRULE        = 5474;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_VIAASSIGN                 = 5475;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_LAYERCLEARRULE            = 5476;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_SCHEMACLEARRULE           = 5477;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_C2CCLEARRULE              = 5478;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_P2PCLEARRULE              = 5479;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_NOISERULE                 = 5480;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_LAYER                     = 5481;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_GENOBJTYPE                = 5482;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_GENCOMPOBJ                = 5483;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_GENOBJ                    = 5484;
    static constexpr unsigned T54_NOLEVELNAMEFORTHISOWNER_XXX                       = 5485;
    // Family-54 codes under family-57 names.
    static constexpr unsigned T57_PARRULEDEF_INVALID                                = 5486;
    static constexpr unsigned T57_PARRULEDEF_INVALID_ALL                            = 5487;

    // CLocksValidation
    static constexpr unsigned T55_ACTIVELOCKBYOTHERSUBCLIENT = 5501;

    // CMigrationChecker
    static constexpr unsigned T56_MIGRATIONLOGFILENAME         = 5601;
    static constexpr unsigned T56_MIGRATIONPROCESSFAILEDSTATUS = 5602;
    static constexpr unsigned T56_MIGRATIONPROCESSSUCCEEDED    = 5603;
    static constexpr unsigned T56_MIGRATIONDATE                = 5604;

    // CViaSpanValid
    static constexpr unsigned T57_VIASPAN_INVALIDITERATOR = 5701;
    static constexpr unsigned T57_VIASPAN_INVALIDNAME     = 5702;
    static constexpr unsigned T57_VIASPAN_INVALIDINDEX    = 5703;
    static constexpr unsigned T57_VIASPAN_NOALLOWEDVIAS   = 5704;

    // CPowerNetTopology
    static constexpr unsigned T58_ERRITERPHYSNETS        = 5800;
    static constexpr unsigned T58_ERRINDEXELECNET        = 5801;
    static constexpr unsigned T58_ERRNAMEELECNET         = 5802;
    static constexpr unsigned T58_ERRINDEXPHYSNET        = 5803;
    static constexpr unsigned T58_ERRNAMEPHYSNET         = 5804;
    static constexpr unsigned T58_ERRPARENTELECNETPHYS   = 5805;
    static constexpr unsigned T58_ERRINVPHYSPOWERNETTOPO = 5806;
    static constexpr unsigned T58_ERRINVELECPOWERNETTOPO = 5807;
    static constexpr unsigned T58_ERRPHYSNETTYPE         = 5808;

    // CVirtualPinUnique
    static constexpr unsigned T59_ERRITEROVERPHYSNETS             = 5901;
    static constexpr unsigned T59_ERRNAMEOFPHYSNET                = 5902;
    static constexpr unsigned T59_ERRINDEXOFPHYSNET               = 5903;
    static constexpr unsigned T59_ERRITEROVERPINSINPHYSNET        = 5904;
    static constexpr unsigned T59_ERRNAMEOFVIRTUALPIN             = 5905;
    static constexpr unsigned T59_ERRINDEXOFVIRTUALPIN            = 5906;
    static constexpr unsigned T59_VIRTUALPINDUPLICATEDINTHEDESIGN = 5907;

    // CC2CClearRules
    static constexpr unsigned T60_ERRITERSCHEMES              = 6001;
    static constexpr unsigned T60_ERRNAMESCHEME               = 6002;
    static constexpr unsigned T60_ERRITERC2CCLEARRULES        = 6003;
    static constexpr unsigned T60_ERRINDEXOFC2CCLEARRULE      = 6004;
    static constexpr unsigned T60_ERRSCHEMEOFC2CCLEARRULE     = 6005;
    static constexpr unsigned T60_CANNOTGETSCHEMECONSTRAINT   = 6006;
    static constexpr unsigned T60_CANNOTGETRULETYPECONSTRAINT = 6007;
    static constexpr unsigned T60_CANNOTGETRULECONSTRAINT     = 6008;
    static constexpr unsigned T60_ERRITERCLEARRULES           = 6009;
    static constexpr unsigned T60_ERRITERZAXIS                = 6010;
    static constexpr unsigned T60_ERRNAMECLEARRULE            = 6011;
    static constexpr unsigned T60_ERRNAMEZAXIS                = 6012;
    static constexpr unsigned T60_ERRCLEARRULEOFC2CCLEARRULE  = 6013;
    static constexpr unsigned T60_ERRZAXISOFC2CCLEARRULE      = 6014;

    // CTemplatesUnique
    static constexpr unsigned T61_ERRITERGENOBJTYPES          = 6101;
    static constexpr unsigned T61_ERRNAMEGENOBJTYPE           = 6102;
    static constexpr unsigned T61_ERRITERGENCOMPOBJS          = 6103;
    static constexpr unsigned T61_ERRNAMEGENCOMPOBJ           = 6104;
    static constexpr unsigned T61_ERRINDEXGENCOMPOBJ          = 6105;
    static constexpr unsigned T61_DUPLICATEDTEMPLATE          = 6106;
    static constexpr unsigned T61_TEMPLATENAMEHASINVALIDCHARS = 6107;
    static constexpr unsigned T61_ERRITERELECNETS             = 6108;
    static constexpr unsigned T61_ERRINDEXELECNET             = 6109;
    static constexpr unsigned T61_ERRNAMEELECNET              = 6110;
    static constexpr unsigned T61_MISSINGELECTEMPLATE         = 6111;
    static constexpr unsigned T61_ERRITERDIFFPAIR             = 6112;
    static constexpr unsigned T61_ERRINDEXDIFFPAIR            = 6113;
    static constexpr unsigned T61_ERRNAMEDIFFPAIR             = 6114;
    static constexpr unsigned T61_MISSINGDIFFPAIRTEMPLATE     = 6115;

    // CP2PRules
    static constexpr unsigned T62_ERRITERP2PRULES        = 6201;
    static constexpr unsigned T62_ERRINDEXOFP2PRULE      = 6202;
    static constexpr unsigned T62_CANNOTGETP2PCONSTRAINT = 6203;

    // CTemplatesValid
    static constexpr unsigned T63_ERRITERGENOBJTYPES                 = 6301;
    static constexpr unsigned T63_ERRNAMEGENOBJTYPE                  = 6302;
    static constexpr unsigned T63_ERRITERGENCOMPOBJS                 = 6303;
    static constexpr unsigned T63_ERRNAMEGENCOMPOBJ                  = 6304;
    static constexpr unsigned T63_ERRINDEXGENCOMPOBJ                 = 6305;
    static constexpr unsigned T63_ERRLEVELGENCOMPOBJ                 = 6306;
    static constexpr unsigned T63_NOTALLOWEDTOPOLOGYOFPINSETTEMPLATE = 6307;
    static constexpr unsigned T63_MISSINGTOPOPINNET                  = 6308;
    static constexpr unsigned T63_MISSINGTOPOORDERTYPE               = 6309;
    static constexpr unsigned T63_INCORRECTPINFORPINSET              = 6310;
    static constexpr unsigned T63_MISSINGTOPOPINSETTYPE              = 6311;

    // CPNetTopo
    static constexpr unsigned T64_ERRITERPHYSNETS          = 6401;
    static constexpr unsigned T64_ERRINDEXPHYSNET          = 6402;
    static constexpr unsigned T64_ERRNAMEPHYSNET           = 6403;
    static constexpr unsigned T64_CANTGETORDERTYPEFROMPNET = 6404;
    static constexpr unsigned T64_ERRITERFROMTO            = 6405;
    static constexpr unsigned T64_ERRWRONGSETTOPOORDERED   = 6406;

    // Fills the catalogue if it is still empty; later calls change nothing.
    static void InitErrorMap();

    // Lookups. A code without a record gives a null text and 0 for the numbers.
    static const char* GetInText(unsigned code);
    static const char* GetOutText(unsigned code);
    static int GetOutLogging(unsigned code);
    static int GetNumArgs(unsigned code);
    static DICSeverity GetSeverity(unsigned code);

    // The record of a code; throws std::runtime_error ("Cannot find error
    // description!") for a code without a record.
    static const ErrorCase& GetErrorCase(unsigned code);

private:
    // The filled map, built on first use.
    static const std::map<unsigned, ErrorCase>& errorMap();
    static const ErrorCase* find(unsigned code);
};
