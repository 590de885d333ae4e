#!/usr/bin/env python3
"""A response of the service's form with many validity dates, for measurements and comparisons.

Usage: generate-response.py ROWS [--generation first|2006] [--order sorted|unsorted|shared] [--categories N]
                            [--compact] > file.xml
"unsorted" lists the dates out of order, "shared" gives every date to two rows; --categories keeps the
first N categories of the generation, --compact leaves out the line breaks and indentation."""
import argparse
import datetime
import sys

FIRST = ["SKOTML", "SKOTST", "EKOSKOTML", "EKOSKOTST", "KOZA", "EKOKOZA", "OVCE", "EKOOVCE", "KUNML", "KUNST"]
GEN2006 = ["SKOTDO6", "SKOTOD6DO24", "SKOTOD24", "OVCEDO12", "OVCEOD12", "KOZYDO12", "KOZYOD12", "KUNDO3", "KUNOD3",
           "EKOSKOTDO6", "EKOSKOTOD6DO24", "EKOSKOTOD24", "EKOOVCEDO12", "EKOOVCEOD12", "EKOKOZYDO12", "EKOKOZYOD12"]
KOEF = {"ML": "0.6", "ST": "1", "DO6": "0.3", "OD6DO24": "0.6", "OD24": "1", "DO12": "0.05", "OD12": "0.15",
        "DO3": "0.6", "OD3": "1"}


def koef(name):
    for suffix in sorted(KOEF, key=len, reverse=True):
        if name.endswith(suffix):
            return KOEF[suffix]
    return "0.15"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("rows", type=int)
    p.add_argument("--generation", default="2006", choices=["first", "2006"])
    p.add_argument("--order", default="sorted", choices=["sorted", "unsorted", "shared"])
    p.add_argument("--categories", type=int, default=0)
    p.add_argument("--compact", action="store_true")
    a = p.parse_args()
    cats = FIRST if a.generation == "first" else GEN2006
    if a.categories > 0:
        cats = cats[:a.categories]
    start = datetime.date(1996, 1, 1)
    days = list(range(a.rows))
    if a.order == "unsorted":
        days = [(i * 7919) % a.rows for i in range(a.rows)]
    elif a.order == "shared":
        days = [i // 2 for i in range(a.rows)]
    out = sys.stdout
    if a.compact:
        class Compact:
            def write(self, text):
                sys.stdout.write("".join(line.strip() for line in text.split("\n")))
        out = Compact()
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
              '<SOAP:Envelope xmlns:SOAP="http://schemas.xmlsoap.org/soap/envelope/">\n<SOAP:Body>\n'
              '<kLIM:Response id="kLIM" dateTime="2006-12-14T10:32:5" kLIMid="ZORVA_VDJ1B" '
              'xmlns:kLIM="http://klim.example/kLIM/XSD/kLIM/v0100">\n'
              ' <kLIM:DataResponse recordCount="1" responseLang="CZE" showXSLTtype="text/xsl" '
              'showXSLTPath="ZORVA_VDJ1B.xsl">\n'
              '  <VDJ:RESPONSE xmlns:VDJ="http://data.example/kLIM/XSD/VDJ/0_0_1" '
              'xmlns:RUX="http://data.example/kLIM/XSD/RUX/0_0_1">\n'
              '   <VDJ:RespRecord id="record" number="1">\n'
              '    <RUX:JISUBRUX>1000234567</RUX:JISUBRUX>\n    <RUX:ICO>71234567</RUX:ICO>\n'
              '    <RUX:RCI>6504121239</RUX:RCI>\n    <RUX:VARPICH>4</RUX:VARPICH>\n'
              '    <RUX:PICHVYPOCET>C</RUX:PICHVYPOCET>\n    <RUX:ROKPLATNOST>2006</RUX:ROKPLATNOST>\n'
              '    <RUX:VYMERA>0</RUX:VYMERA>\n    <RUX:PICHROKA>1.154</RUX:PICHROKA>\n'
              '    <RUX:PICHROKB>1.098</RUX:PICHROKB>\n'
              '    <VDJ:SUBJEKTIRZ>\n     <RUX:RCI>6504121239</RUX:RCI>\n     <RUX:JME>Jan</RUX:JME>\n'
              '     <RUX:PRI>Dvořák</RUX:PRI>\n     <RUX:OJM>Rodinná farma Dvořák</RUX:OJM>\n    </VDJ:SUBJEKTIRZ>\n'
              '    <VDJ:PICHROWS>\n')
    for i, d in enumerate(days):
        date = (start + datetime.timedelta(days=d)).isoformat()
        vdja = 40 + (i * 37) % 29 + (i % 7) * 0.25
        vdjb = vdja - (i % 3) * 1.3
        area = 48.37 + (i % 11)
        out.write(f'     <VDJ:PICHROW DATPLATNOST="{date}" VDJA="{vdja:g}" VDJB="{vdjb:g}" '
                  f'PICHA="{vdja / area:.14g}" PICHB="{vdjb / area:.14g}">\n'
                  '      <RUX:ZADATELREGLPIS>A</RUX:ZADATELREGLPIS>\n'
                  '      <RUX:ZADATELREGIRZ>A</RUX:ZADATELREGIRZ>\n'
                  f'      <RUX:SUMAVYMERADPB>{area:g}</RUX:SUMAVYMERADPB>\n')
        for k, c in enumerate(cats):
            # The ecological categories of the first half stay empty, so that the report lists them on their own line.
            count = 0 if (c.startswith("EKO") and k % 2 == 0) else (i * 7 + k * 13) % 90
            out.write(f'      <RUX:{c} VDJ="{count * float(koef(c)):g}" KOEF="{koef(c)}">{count}</RUX:{c}>\n')
        out.write('     </VDJ:PICHROW>\n')
    out.write('    </VDJ:PICHROWS>\n   </VDJ:RespRecord>\n  </VDJ:RESPONSE>\n </kLIM:DataResponse>\n'
              '</kLIM:Response>\n</SOAP:Body>\n</SOAP:Envelope>\n')


if __name__ == "__main__":
    main()
