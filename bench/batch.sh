#!/usr/bin/env bash
# The batch against the demo service: 200 rows with --jobs 4 next to the same 200 requests posted by
# curl one after another, the --resume of the finished batch, and the peak memory of batches of 200
# and 1000 rows (and of BATCH_MEMORY_ROWS, e.g. 100000: rows beyond the 1000 generated applicants are
# answered "not found"). Usage: bench/batch.sh BIN_DIR [ROWS]
set -euo pipefail
bin=$1
rows=${2:-200}
work=$(mktemp -d)
service_pid=
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/zorva-vdj-service" --port 0 --demo-applicants 1000 >"$work/service.out" &
service_pid=$!
for _ in $(seq 100); do grep -q listening "$work/service.out" 2>/dev/null && break; sleep 0.1; done
url=$(sed -n 's/.* on //p' "$work/service.out")

list() {  # list N FILE: N rows over the generated applicants, yearly and monthly types mixed
  { echo 'JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA'
    for i in $(seq "$1"); do
      if (( i % 4 == 0 )); then echo "$((2000000000 + i));;;2;C;1.$(( i % 12 + 1 )).2006;"
      else echo "$((2000000000 + i));;;4;C;2005;"; fi
    done; } >"$2"
}
body() {  # body JISUBRUX TYPE YEAR: the request document as the program composes it
  printf '%s' "<SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\"> <SOAP:Body> <kLIM:Request id=\"kLIM\" dateTime=\"2006-1-1T9:0:0\" xmlns:kLIM=\"http://klim.example/kLIM/XSD/kLIM/v0100\" kLIMid=\"ZORVA_VDJ1B\"> <kLIM:UIDkey userID=\"DEMO\" addressAD=\"default\" certificateSN=\"0\" /> <kLIM:DataRequest recordCount=\"1\" responseLang=\"CZE\"> <VDJ:REQUEST xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\"http://data.example/kLIM/XSD/VDJ/0_0_1 http://data.example/kLIM/XSD/VDJ/0_0_1/VDJ.xsd\" xmlns:VDJ=\"http://data.example/kLIM/XSD/VDJ/0_0_1\" xmlns:RUX=\"http://data.example/kLIM/XSD/RUX/0_0_1\"> <VDJ:ReqRecord id=\"record\" number=\"1\"> <RUX:JISUBRUX>$1</RUX:JISUBRUX> <RUX:ICO></RUX:ICO> <RUX:RCI></RUX:RCI> <RUX:VARPICH>$2</RUX:VARPICH><RUX:PICHVYPOCET>C</RUX:PICHVYPOCET> <RUX:ROKPLATNOST>$3</RUX:ROKPLATNOST><RUX:VYMERA>0</RUX:VYMERA> </VDJ:ReqRecord> </VDJ:REQUEST> </kLIM:DataRequest> </kLIM:Request> </SOAP:Body> </SOAP:Envelope>"
}
now() { date +%s.%N; }
ms() { echo "($2 - $1) * 1000 / 1" | bc; }

list "$rows" "$work/list.csv"
mkdir -p "$work/curl"
t0=$(now)
for i in $(seq "$rows"); do
  if (( i % 4 == 0 )); then b=$(body $((2000000000 + i)) 2 "01.$(printf %02d $(( i % 12 + 1 ))).2006")
  else b=$(body $((2000000000 + i)) 4 2005); fi
  curl -s -o "$work/curl/$i.xml" --data-binary "$b" "$url"
done
t1=$(now)
"$bin/ZORVA_VDJ" --batch "$work/list.csv" --out "$work/out" --server "$url" --user DEMO 2>/dev/null || true
t2=$(now)
"$bin/ZORVA_VDJ" --batch "$work/list.csv" --out "$work/out" --server "$url" --user DEMO --resume 2>/dev/null || true
t3=$(now)
echo "rows: $rows; curl one by one: $(ms "$t0" "$t1") ms; batch --jobs 4: $(ms "$t1" "$t2") ms; --resume: $(ms "$t2" "$t3") ms"

for n in 200 1000 ${BATCH_MEMORY_ROWS:-}; do
  list "$n" "$work/list$n.csv"
  rm -rf "$work/mem"
  # A list beyond the generated applicants ends with status 1 (rows not found), which is no failure here.
  peak=$( { /usr/bin/time -f '%M' "$bin/ZORVA_VDJ" --batch "$work/list$n.csv" --out "$work/mem" --server "$url" \
            --user DEMO 2>&1 >/dev/null | tail -1; } || true )
  echo "rows: $n; peak memory: $peak kB"
done
