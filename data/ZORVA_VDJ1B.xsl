<?xml version="1.0" encoding="UTF-8"?>
<!--
  ZORVA_VDJ1B.xsl: the printable report of a response of the service ZORVA_VDJ1B.

  The input is either the whole SOAP envelope (the main window shows the stored response as it
  came) or the kLIM:Response element alone (the editors show only the service's part), so every
  lookup goes down from the root with "//" and namespace-aware names. Plain XSLT 1.0 without
  extensions and without document(''): the page must come out the same from any XSLT 1.0
  processor and must open offline, so it carries its CSS and the chart (inline SVG) itself.
-->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:SOAP="http://schemas.xmlsoap.org/soap/envelope/"
    xmlns:kLIM="http://klim.example/kLIM/XSD/kLIM/v0100"
    xmlns:VDJ="http://data.example/kLIM/XSD/VDJ/0_0_1"
    xmlns:RUX="http://data.example/kLIM/XSD/RUX/0_0_1"
    xmlns:UPR="http://zorva.example/VDJ/upravy"
    exclude-result-prefixes="SOAP kLIM VDJ RUX UPR">

  <xsl:output method="html" encoding="windows-1250" indent="yes" doctype-system="about:legacy-compat"/>

  <!-- Czech number format: decimal comma, a non-breaking space between thousands. -->
  <xsl:decimal-format name="cz" decimal-separator="," grouping-separator="&#160;" minus-sign="-" NaN="?" infinity="&#8734;"/>

  <!-- The category elements of both generations, in the order of the editor's columns; a category
       element of a row belongs to the report only when its name is in this list (the row's other
       RUX children are the flags and the acreage). -->
  <xsl:variable name="poradi"
      select="'|SKOTML|SKOTST|EKOSKOTML|EKOSKOTST|KOZA|EKOKOZA|OVCE|EKOOVCE|KUNML|KUNST|SKOTDO6|SKOTOD6DO24|SKOTOD24|OVCEDO12|OVCEOD12|KOZYDO12|KOZYOD12|KUNDO3|KUNOD3|EKOSKOTDO6|EKOSKOTOD6DO24|EKOSKOTOD24|EKOOVCEDO12|EKOOVCEOD12|EKOKOZYDO12|EKOKOZYOD12|'"/>

  <!-- The category elements of one record, grouped by name (a response may carry several records). -->
  <xsl:key name="kat" match="VDJ:PICHROW/RUX:*"
      use="concat(generate-id(ancestor::VDJ:RespRecord[1]), '|', local-name())"/>

  <!-- The program's own elements, wherever they sit: one pass over the document finds them all, for the
       lists below pick theirs from these few instead of each going through the whole answer again. -->
  <xsl:variable name="upr" select="//UPR:*"/>
  <!-- Figures that the user changed against the service's answer (the program's own list in the
       response): a page made from such a document must never pass for the service's answer. -->
  <xsl:variable name="zmeny" select="$upr[self::UPR:Change][parent::UPR:Changes]"/>
  <xsl:key name="zmena" match="UPR:Change" use="concat(@date, '|', @field)"/>
  <!-- The list of changes keeps the service's yearly figures, which the recomputed ones replaced. -->
  <xsl:variable name="zmenyRok" select="($zmeny/..)[1]"/>
  <!-- Values of the answer that the program could not take as the service sent them (its own list). -->
  <xsl:variable name="neprevzato" select="$upr[self::UPR:Value][parent::UPR:NotTaken]"/>
  <!-- The intensity limits the program judged the figures by (its own element, from its settings). -->
  <xsl:variable name="limity" select="$upr[self::UPR:Limits][1]"/>
  <xsl:variable name="limMin" select="$limity/@min"/>
  <xsl:variable name="limMax" select="$limity/@max"/>

  <!-- The service's fault, the response and its applicant: each looked up once for the whole page. -->
  <xsl:variable name="chyba" select="//SOAP:Fault"/>
  <xsl:variable name="odpoved" select="(//kLIM:Response)[1]"/>
  <xsl:variable name="ji" select="normalize-space((//RUX:JISUBRUX)[1])"/>

  <!-- Chart geometry (SVG user units). -->
  <xsl:variable name="gW" select="1000"/>
  <xsl:variable name="gH" select="320"/>
  <xsl:variable name="gL" select="64"/>
  <xsl:variable name="gR" select="16"/>
  <xsl:variable name="gT" select="40"/>
  <xsl:variable name="gB" select="52"/>

  <!-- ================================================================== page -->

  <xsl:template match="/">
    <html lang="cs">
      <head>
        <title>
          <xsl:if test="$zmeny">UPRAVENO – </xsl:if>
          <xsl:text>ZORVA – výpočet VDJ</xsl:text>
          <xsl:if test="$ji != ''">
            <xsl:text> – JI </xsl:text>
            <xsl:value-of select="$ji"/>
          </xsl:if>
        </title>
        <style type="text/css">
          <xsl:call-template name="css"/>
        </style>
        <xsl:if test="$limity">
          <style type="text/css">
            <xsl:call-template name="cssLimity"/>
          </style>
        </xsl:if>
      </head>
      <body>
        <xsl:if test="$zmeny">
          <xsl:call-template name="upravy"/>
        </xsl:if>
        <xsl:if test="$neprevzato">
          <xsl:call-template name="neprevzato"/>
        </xsl:if>
        <xsl:choose>
          <xsl:when test="$chyba">
            <xsl:apply-templates select="$chyba[1]"/>
          </xsl:when>
          <xsl:when test="//VDJ:RespRecord">
            <xsl:for-each select="//VDJ:RespRecord">
              <xsl:call-template name="zaznam">
                <xsl:with-param name="poradiZaznamu" select="position()"/>
                <xsl:with-param name="pocetZaznamu" select="last()"/>
              </xsl:call-template>
            </xsl:for-each>
          </xsl:when>
          <xsl:when test="//VDJ:PICHROW">
            <!-- Rows without a record frame: the whole document is the one record. -->
            <xsl:for-each select="/*">
              <xsl:call-template name="zaznam"/>
            </xsl:for-each>
          </xsl:when>
          <xsl:otherwise>
            <xsl:call-template name="zahlavi"/>
            <div class="prazdno">
              <p class="velky">Odpověď neobsahuje data.</p>
              <p>Dokument není odpovědí služby ZORVA_VDJ1B s výpočtem VDJ ani chybovým hlášením služby.
                Odešlete požadavek znovu tlačítkem „OK (ODESLAT)“.</p>
            </div>
          </xsl:otherwise>
        </xsl:choose>
        <xsl:call-template name="paticka"/>
      </body>
    </html>
  </xsl:template>

  <xsl:template name="zahlavi">
    <xsl:param name="podtitul" select="''"/>
    <header class="zahlavi">
      <div class="program">ZORVA: Výpočet VDJ</div>
      <h1>Výpočet velkých dobytčích jednotek a intenzity chovu</h1>
      <div class="odpoved">
        <xsl:choose>
          <xsl:when test="$zmeny">Výpočet upravený uživatelem, vychází z odpovědi služby ZORVA_VDJ1B</xsl:when>
          <xsl:otherwise>Odpověď služby ZORVA_VDJ1B</xsl:otherwise>
        </xsl:choose>
        <xsl:if test="normalize-space($odpoved/@dateTime) != ''">
          <xsl:text> ze dne </xsl:text>
          <xsl:call-template name="datumCas">
            <xsl:with-param name="t" select="normalize-space($odpoved/@dateTime)"/>
          </xsl:call-template>
        </xsl:if>
        <xsl:if test="$podtitul != ''">
          <xsl:text> – </xsl:text>
          <xsl:value-of select="$podtitul"/>
        </xsl:if>
      </div>
    </header>
  </xsl:template>

  <xsl:template name="paticka">
    <footer class="paticka">
      <xsl:if test="//VDJ:PICHROW and not($chyba)">
      <div class="podpisy">
        <span>Zpracoval(a): <span class="linka"></span></span>
        <span>Dne: <span class="linka kratka"></span></span>
        <span>Podpis: <span class="linka"></span></span>
      </div>
      </xsl:if>
      <p>VDJ – velká dobytčí jednotka; PICH – intenzita chovu (VDJ na hektar výměry dílů půdních bloků, DPB);
        varianta A počítá s koňmi, varianta B bez koňů.
        Sestava z programu ZORVA: Výpočet VDJ.</p>
    </footer>
  </xsl:template>

  <!-- ================================================================== user changes -->

  <xsl:template name="upravy">
    <section class="upraveno">
      <p class="upravenoPas">Upraveno uživatelem – nejde o odpověď služby</p>
      <p>Následující vstupní údaje se liší od údajů, které poslala služba ZORVA_VDJ1B; všechny výsledky
        v této sestavě jsou z nich přepočteny programem.</p>
      <table class="data zmeny">
        <thead>
          <tr>
            <th>Datum platnosti</th>
            <th>Údaj</th>
            <th>Hodnota ze služby</th>
            <th>Nová hodnota</th>
          </tr>
        </thead>
        <tbody>
          <xsl:for-each select="$zmeny">
            <xsl:sort select="@date"/>
            <tr>
              <td class="datum">
                <xsl:call-template name="datum"><xsl:with-param name="t" select="normalize-space(@date)"/></xsl:call-template>
                <xsl:if test="@row">
                  <xsl:value-of select="concat(' (', @row, '. řádek odpovědi)')"/>
                </xsl:if>
              </td>
              <td>
                <xsl:call-template name="nazevUdaje"><xsl:with-param name="pole" select="string(@field)"/></xsl:call-template>
              </td>
              <td class="num">
                <xsl:call-template name="cislo">
                  <xsl:with-param name="v" select="@service"/>
                  <xsl:with-param name="vzor" select="'#&#160;##0,######'"/>
                </xsl:call-template>
              </td>
              <td class="num silne">
                <xsl:call-template name="cislo">
                  <xsl:with-param name="v" select="@new"/>
                  <xsl:with-param name="vzor" select="'#&#160;##0,######'"/>
                </xsl:call-template>
              </td>
            </tr>
          </xsl:for-each>
        </tbody>
      </table>
    </section>
  </xsl:template>

  <xsl:template name="neprevzato">
    <section class="neprevzato">
      <p class="neprevzatoPas">Některé údaje odpovědi program nepřevzal</p>
      <p>Tyto údaje služby ZORVA_VDJ1B program nemohl převzít tak, jak přišly; výpočet s nimi nakládá podle
        pravidel programu, jak uvádí poslední sloupec.</p>
      <table class="data zmeny">
        <thead>
          <tr>
            <th>Datum platnosti</th>
            <th>Údaj</th>
            <th>Text ze služby</th>
            <th>Jak jej program převzal</th>
          </tr>
        </thead>
        <tbody>
          <xsl:for-each select="$neprevzato">
            <tr>
              <td class="datum">
                <xsl:call-template name="datum"><xsl:with-param name="t" select="normalize-space(@date)"/></xsl:call-template>
              </td>
              <td>
                <xsl:call-template name="nazevUdaje"><xsl:with-param name="pole" select="string(@field)"/></xsl:call-template>
              </td>
              <td><xsl:value-of select="@service"/></td>
              <td><xsl:value-of select="@counted"/></td>
            </tr>
          </xsl:for-each>
        </tbody>
      </table>
    </section>
  </xsl:template>

  <!-- Marks the current table cell when the user changed its figure (key: date|column). -->
  <xsl:template name="zmenenaBunka">
    <xsl:param name="klic"/>
    <xsl:param name="trida"/>
    <xsl:if test="$zmeny and key('zmena', $klic)">
      <xsl:attribute name="class"><xsl:value-of select="concat($trida, ' zmeneno')"/></xsl:attribute>
      <xsl:attribute name="title">
        <xsl:value-of select="concat('změněno uživatelem, služba poslala ', key('zmena', $klic)[1]/@service)"/>
      </xsl:attribute>
    </xsl:if>
  </xsl:template>

  <!-- The working-table column of a change in words. -->
  <xsl:template name="nazevUdaje">
    <xsl:param name="pole"/>
    <xsl:variable name="delka" select="string-length($pole)"/>
    <xsl:choose>
      <xsl:when test="$pole = 'SUMAVYMERADPB'">Výměra DPB (ha)</xsl:when>
      <xsl:when test="$pole = 'DATPLATNOST'">Řádek (datum platnosti)</xsl:when>
      <xsl:when test="$delka &gt; 4 and substring($pole, $delka - 3) = '_VDJ'">
        <xsl:call-template name="nazevKategorie"><xsl:with-param name="n" select="substring($pole, 1, $delka - 4)"/></xsl:call-template>
        <xsl:text> – VDJ</xsl:text>
      </xsl:when>
      <xsl:when test="$delka &gt; 6 and substring($pole, $delka - 5) = '_POCET'">
        <xsl:call-template name="nazevKategorie"><xsl:with-param name="n" select="substring($pole, 1, $delka - 6)"/></xsl:call-template>
        <xsl:text> – počet zvířat (ks)</xsl:text>
      </xsl:when>
      <xsl:when test="$delka &gt; 5 and substring($pole, $delka - 4) = '_KOEF'">
        <xsl:call-template name="nazevKategorie"><xsl:with-param name="n" select="substring($pole, 1, $delka - 5)"/></xsl:call-template>
        <xsl:text> – koeficient přepočtu na VDJ</xsl:text>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$pole"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ================================================================== fault -->

  <xsl:template match="SOAP:Fault">
    <xsl:call-template name="zahlavi">
      <xsl:with-param name="podtitul" select="'chyba'"/>
    </xsl:call-template>
    <xsl:variable name="kod" select="normalize-space(*[local-name() = 'faultcode'])"/>
    <xsl:variable name="text" select="normalize-space(*[local-name() = 'faultstring'])"/>
    <xsl:variable name="detail" select="*[local-name() = 'detail']"/>
    <section class="chyba">
      <h2>Služba vrátila chybu – výpočet nebyl proveden</h2>
      <table class="udaje">
        <tr>
          <th>Popis chyby</th>
          <td class="chybaText">
            <xsl:choose>
              <xsl:when test="$text != ''"><xsl:value-of select="$text"/></xsl:when>
              <xsl:otherwise>(bez popisu)</xsl:otherwise>
            </xsl:choose>
          </td>
        </tr>
        <tr>
          <th>Kód chyby</th>
          <td>
            <strong><xsl:value-of select="$kod"/></strong>
            <xsl:variable name="druh">
              <xsl:choose>
                <xsl:when test="contains($kod, ':')"><xsl:value-of select="substring-after($kod, ':')"/></xsl:when>
                <xsl:otherwise><xsl:value-of select="$kod"/></xsl:otherwise>
              </xsl:choose>
            </xsl:variable>
            <xsl:choose>
              <xsl:when test="starts-with($druh, 'Client')"> – chyba v požadavku (zkontrolujte zadané údaje)</xsl:when>
              <xsl:when test="starts-with($druh, 'Server')"> – chyba na straně služby (zkuste požadavek odeslat později)</xsl:when>
              <xsl:when test="starts-with($druh, 'VersionMismatch')"> – nesouhlasí verze protokolu SOAP</xsl:when>
              <xsl:when test="starts-with($druh, 'MustUnderstand')"> – služba nerozumí povinné části požadavku</xsl:when>
            </xsl:choose>
          </td>
        </tr>
        <xsl:if test="normalize-space(*[local-name() = 'faultactor']) != ''">
          <tr>
            <th>Původce</th>
            <td><xsl:value-of select="normalize-space(*[local-name() = 'faultactor'])"/></td>
          </tr>
        </xsl:if>
        <xsl:if test="normalize-space($detail) != ''">
          <tr>
            <th>Podrobnosti</th>
            <td>
              <xsl:choose>
                <xsl:when test="$detail//*[not(*)][normalize-space(.) != '']">
                  <ul class="detail">
                    <xsl:for-each select="$detail//*[not(*)][normalize-space(.) != '']">
                      <li><xsl:value-of select="local-name()"/>: <xsl:value-of select="normalize-space(.)"/></li>
                    </xsl:for-each>
                  </ul>
                </xsl:when>
                <xsl:otherwise><xsl:value-of select="normalize-space($detail)"/></xsl:otherwise>
              </xsl:choose>
            </td>
          </tr>
        </xsl:if>
      </table>
      <p class="rada">Zkontrolujte identifikaci žadatele (jednotný identifikátor, IČ, rodné číslo), typ a variantu
        výpočtu a datum nebo rok platnosti a odešlete požadavek znovu.</p>
    </section>
  </xsl:template>

  <!-- ================================================================== one record -->

  <xsl:template name="zaznam">
    <xsl:param name="poradiZaznamu" select="1"/>
    <xsl:param name="pocetZaznamu" select="1"/>

    <xsl:variable name="radky" select=".//VDJ:PICHROW"/>
    <xsl:variable name="varpich" select="(.//RUX:VARPICH)[1]"/>
    <xsl:variable name="typ" select="normalize-space($varpich)"/>
    <xsl:variable name="typPresne" select="string($varpich)"/>
    <xsl:variable name="varianta" select="normalize-space((.//RUX:PICHVYPOCET)[1])"/>
    <!-- Types 1 to 3 concern one day: its intensity is shown cut to three decimals everywhere, the
         way the yearly figure is formed, so that the headline and the table agree. -->
    <xsl:variable name="jedenDen" select="$typ = '1' or $typ = '2' or $typ = '3'"/>
    <xsl:variable name="irz" select="(.//VDJ:SUBJEKTIRZ)[1]"/>
    <xsl:variable name="rc" select="normalize-space((.//RUX:RCI[not(parent::VDJ:SUBJEKTIRZ)])[1])"/>
    <xsl:variable name="irzRc" select="normalize-space($irz/RUX:RCI)"/>
    <xsl:variable name="jmeno" select="normalize-space(concat($irz/RUX:JME, ' ', $irz/RUX:PRI))"/>
    <xsl:variable name="ojm" select="normalize-space($irz/RUX:OJM)"/>

    <!-- Every known category element of the record's rows, one per name: the first of each name in
         the record's group (a lookup per name, not a comparison per element of every row, which grows
         with the square of the rows). The brackets around each filtered group let the test stop at
         its first element that passes, instead of testing every row's element of that name. -->
    <xsl:variable name="zaznamId" select="concat(generate-id(ancestor-or-self::VDJ:RespRecord[1]), '|')"/>
    <xsl:variable name="kategorie"
        select="(key('kat', concat($zaznamId, 'SKOTML'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'SKOTST'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOSKOTML'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOSKOTST'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KOZA'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOKOZA'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'OVCE'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOOVCE'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KUNML'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KUNST'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'SKOTDO6'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'SKOTOD6DO24'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'SKOTOD24'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'OVCEDO12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'OVCEOD12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KOZYDO12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KOZYOD12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KUNDO3'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'KUNOD3'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOSKOTDO6'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOSKOTOD6DO24'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOSKOTOD24'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOOVCEDO12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOOVCEOD12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOKOZYDO12'))[../parent::*])[1]
                | (key('kat', concat($zaznamId, 'EKOKOZYOD12'))[../parent::*])[1]"/>
    <!-- Those with animals (or units) in at least one row; a non-numeric count counts as animals. The
         first such row is enough. -->
    <xsl:variable name="sezviraty"
        select="$kategorie[(key('kat', concat(generate-id(ancestor::VDJ:RespRecord[1]), '|', local-name()))
                [(normalize-space(.) != '' and not(number(translate(normalize-space(.), ',', '.')) = 0))
                 or (normalize-space(@VDJ) != '' and not(number(translate(normalize-space(@VDJ), ',', '.')) = 0))])[1]]"/>

    <div class="zaznam">
      <xsl:if test="$poradiZaznamu &gt; 1">
        <xsl:attribute name="class">zaznam novaStrana</xsl:attribute>
      </xsl:if>
      <xsl:call-template name="zahlavi">
        <xsl:with-param name="podtitul">
          <xsl:if test="$pocetZaznamu &gt; 1">
            <xsl:value-of select="concat('záznam ', $poradiZaznamu, ' z ', $pocetZaznamu)"/>
          </xsl:if>
        </xsl:with-param>
      </xsl:call-template>

      <div class="bloky">
        <section class="blok">
          <h2>Žadatel</h2>
          <table class="udaje">
            <tr>
              <th>Subjekt IRZ</th>
              <td>
                <xsl:choose>
                  <xsl:when test="$ojm != '' or $jmeno != ''">
                    <xsl:if test="$ojm != ''"><strong class="jmeno"><xsl:value-of select="$ojm"/></strong></xsl:if>
                    <xsl:if test="$ojm != '' and $jmeno != '' and $jmeno != $ojm"><br/></xsl:if>
                    <xsl:if test="$jmeno != '' and $jmeno != $ojm">
                      <xsl:choose>
                        <xsl:when test="$ojm = ''"><strong class="jmeno"><xsl:value-of select="$jmeno"/></strong></xsl:when>
                        <xsl:otherwise><xsl:value-of select="$jmeno"/></xsl:otherwise>
                      </xsl:choose>
                    </xsl:if>
                  </xsl:when>
                  <xsl:otherwise><span class="slabe">neuvedeno</span></xsl:otherwise>
                </xsl:choose>
              </td>
            </tr>
            <tr>
              <th>Jednotný identifikátor (JI)</th>
              <td><xsl:call-template name="text"><xsl:with-param name="t" select="(.//RUX:JISUBRUX)[1]"/></xsl:call-template></td>
            </tr>
            <tr>
              <th>IČO</th>
              <td><xsl:call-template name="text"><xsl:with-param name="t" select="(.//RUX:ICO)[1]"/></xsl:call-template></td>
            </tr>
            <tr>
              <th>Rodné číslo</th>
              <td><xsl:call-template name="rodneCislo"><xsl:with-param name="t" select="$rc"/></xsl:call-template></td>
            </tr>
            <xsl:if test="$irzRc != '' and translate($irzRc, '/', '') != translate($rc, '/', '')">
              <tr>
                <th>Rodné číslo subjektu IRZ</th>
                <td><xsl:call-template name="rodneCislo"><xsl:with-param name="t" select="$irzRc"/></xsl:call-template></td>
              </tr>
            </xsl:if>
          </table>
        </section>

        <section class="blok">
          <h2>Zadání výpočtu</h2>
          <table class="udaje">
            <tr>
              <th>Typ výpočtu</th>
              <td><xsl:call-template name="typText"><xsl:with-param name="typ" select="$typ"/></xsl:call-template></td>
            </tr>
            <tr>
              <th>Varianta</th>
              <td><xsl:call-template name="variantaText"><xsl:with-param name="v" select="$varianta"/></xsl:call-template></td>
            </tr>
            <xsl:variable name="rok" select="normalize-space((.//RUX:ROKPLATNOST)[1])"/>
            <xsl:if test="$rok != ''">
              <tr>
                <th>
                  <xsl:choose>
                    <xsl:when test="$typ = '1' or $typ = '2' or $typ = '3'">Stanovené datum</xsl:when>
                    <xsl:otherwise>Rok</xsl:otherwise>
                  </xsl:choose>
                </th>
                <td><xsl:value-of select="$rok"/></td>
              </tr>
            </xsl:if>
            <xsl:variable name="vymera" select="normalize-space((.//RUX:VYMERA)[1])"/>
            <xsl:if test="$typ = '6' or ($vymera != '' and not(number($vymera) = 0))">
              <tr>
                <th>Zadaná výměra</th>
                <td>
                  <xsl:call-template name="cislo">
                    <xsl:with-param name="v" select="$vymera"/>
                    <xsl:with-param name="vzor" select="'#&#160;##0,00##'"/>
                  </xsl:call-template>
                  <xsl:if test="$vymera != ''"> ha</xsl:if>
                </td>
              </tr>
            </xsl:if>
            <tr>
              <th>Do součtů vstupuje</th>
              <td>
                <xsl:choose>
                  <xsl:when test="$typPresne = '1' or $typPresne = '5'">VDJA = koně + ekologický chov, VDJB = ekologický chov</xsl:when>
                  <xsl:otherwise>VDJA = konvenční chov + koně, VDJB = konvenční chov</xsl:otherwise>
                </xsl:choose>
              </td>
            </tr>
          </table>
        </section>
      </div>

      <xsl:variable name="rokA" select="(.//RUX:PICHROKA)[1]"/>
      <xsl:variable name="rokB" select="(.//RUX:PICHROKB)[1]"/>
      <xsl:if test="$rokA or $rokB">
        <section class="intenzity">
          <h2>
            <xsl:choose>
              <xsl:when test="$typ = '1' or $typ = '2' or $typ = '3'">Intenzita chovu</xsl:when>
              <xsl:otherwise>Průměrná intenzita chovu za rok</xsl:otherwise>
            </xsl:choose>
          </h2>
          <div class="karty">
            <xsl:if test="$rokA">
              <div class="karta kartaA">
                <div class="popis">PICH varianta A – s koňmi (PICHRokA)</div>
                <div class="hodnota">
                  <xsl:call-template name="cislo">
                    <xsl:with-param name="v" select="$rokA"/>
                    <xsl:with-param name="vzor" select="'0,000'"/>
                  </xsl:call-template>
                  <span class="jednotka"> VDJ/ha</span>
                </div>
                <xsl:call-template name="rokSluzby">
                  <xsl:with-param name="v" select="$zmenyRok/@PICHROKA"/>
                </xsl:call-template>
              </div>
            </xsl:if>
            <xsl:if test="$rokB">
              <div class="karta kartaB">
                <div class="popis">PICH varianta B – bez koňů (PICHRokB)</div>
                <div class="hodnota">
                  <xsl:call-template name="cislo">
                    <xsl:with-param name="v" select="$rokB"/>
                    <xsl:with-param name="vzor" select="'0,000'"/>
                  </xsl:call-template>
                  <span class="jednotka"> VDJ/ha</span>
                </div>
                <xsl:call-template name="rokSluzby">
                  <xsl:with-param name="v" select="$zmenyRok/@PICHROKB"/>
                </xsl:call-template>
              </div>
            </xsl:if>
            <xsl:if test="$limity">
              <xsl:for-each select="$limity/UPR:Limit">
                <xsl:call-template name="pasLimitu"/>
              </xsl:for-each>
            </xsl:if>
          </div>
          <p class="pozn">
            <xsl:choose>
              <xsl:when test="$jedenDen">Intenzita chovu ke stanovenému dni, zkrácená (ne zaokrouhlená) na tři desetinná místa.</xsl:when>
              <xsl:otherwise>Průměr intenzit všech dnů platnosti, zkrácený (ne zaokrouhlený) na tři desetinná místa.</xsl:otherwise>
            </xsl:choose>
          </p>
        </section>
      </xsl:if>

      <xsl:choose>
        <xsl:when test="not($radky)">
          <div class="prazdno">
            <p class="velky">Odpověď neobsahuje data.</p>
            <p>Pro zadaného žadatele a období služba nevrátila žádný den platnosti.</p>
          </div>
        </xsl:when>
        <xsl:otherwise>
          <section class="prehled">
            <h2>Přehled podle dnů platnosti</h2>
            <table class="data souhrn">
              <thead>
                <tr>
                  <th>Datum platnosti</th>
                  <th>Výměra (ha)</th>
                  <th>VDJA<br/><span class="pod">s koňmi</span></th>
                  <th>VDJB<br/><span class="pod">bez koňů</span></th>
                  <th>PICHA<br/><span class="pod">VDJ/ha, s koňmi</span></th>
                  <th>PICHB<br/><span class="pod">VDJ/ha, bez koňů</span></th>
                  <th>Žadatel LPIS</th>
                  <th>Žadatel IRZ</th>
                </tr>
              </thead>
              <tbody>
                <xsl:for-each select="$radky">
                  <xsl:sort select="@DATPLATNOST"/>
                  <tr>
                    <xsl:if test="$limity">
                      <xsl:call-template name="radekMimoLimit"/>
                    </xsl:if>
                    <td class="datum">
                      <xsl:call-template name="datum"><xsl:with-param name="t" select="normalize-space(@DATPLATNOST)"/></xsl:call-template>
                    </td>
                    <td class="num">
                      <xsl:if test="$zmeny">
                        <xsl:call-template name="zmenenaBunka">
                          <xsl:with-param name="klic" select="concat(@DATPLATNOST, '|SUMAVYMERADPB')"/>
                          <xsl:with-param name="trida" select="'num'"/>
                        </xsl:call-template>
                      </xsl:if>
                      <xsl:call-template name="cislo">
                        <xsl:with-param name="v" select="RUX:SUMAVYMERADPB"/>
                        <xsl:with-param name="vzor" select="'#&#160;##0,00##'"/>
                      </xsl:call-template>
                    </td>
                    <td class="num">
                      <xsl:call-template name="cislo"><xsl:with-param name="v" select="@VDJA"/></xsl:call-template>
                    </td>
                    <td class="num">
                      <xsl:call-template name="cislo"><xsl:with-param name="v" select="@VDJB"/></xsl:call-template>
                    </td>
                    <td class="num silne">
                      <xsl:call-template name="cislo">
                        <xsl:with-param name="v" select="@PICHA"/>
                        <xsl:with-param name="vzor" select="'0,000'"/>
                        <xsl:with-param name="zkratit" select="$jedenDen"/>
                      </xsl:call-template>
                    </td>
                    <td class="num silne">
                      <xsl:call-template name="cislo">
                        <xsl:with-param name="v" select="@PICHB"/>
                        <xsl:with-param name="vzor" select="'0,000'"/>
                        <xsl:with-param name="zkratit" select="$jedenDen"/>
                      </xsl:call-template>
                    </td>
                    <td class="stred"><xsl:call-template name="priznak"><xsl:with-param name="t" select="RUX:ZADATELREGLPIS"/></xsl:call-template></td>
                    <td class="stred"><xsl:call-template name="priznak"><xsl:with-param name="t" select="RUX:ZADATELREGIRZ"/></xsl:call-template></td>
                  </tr>
                </xsl:for-each>
              </tbody>
            </table>
          </section>

          <xsl:call-template name="graf">
            <xsl:with-param name="radky" select="$radky"/>
          </xsl:call-template>

          <section class="kategorie">
            <h2>Stavy zvířat podle kategorií</h2>
            <p class="pozn">V každé kategorii: počet zvířat (ks), koeficient přepočtu na VDJ (koef.) a velké dobytčí jednotky (VDJ).</p>
            <xsl:call-template name="tabulkaKategorii">
              <xsl:with-param name="nadpis">
                <xsl:text>Konvenční chov a koně</xsl:text>
                <xsl:if test="$typPresne = '1' or $typPresne = '5'"> – do součtů VDJA vstupují jen koně, konvenční chov se nezapočítává</xsl:if>
              </xsl:with-param>
              <xsl:with-param name="radky" select="$radky"/>
              <xsl:with-param name="kat" select="$sezviraty[not(starts-with(local-name(), 'EKO'))]"/>
            </xsl:call-template>
            <xsl:call-template name="tabulkaKategorii">
              <xsl:with-param name="nadpis">
                <xsl:text>Ekologické zemědělství</xsl:text>
                <xsl:if test="not($typPresne = '1' or $typPresne = '5')"> – pro tento typ výpočtu se do součtů nezapočítává</xsl:if>
              </xsl:with-param>
              <xsl:with-param name="radky" select="$radky"/>
              <xsl:with-param name="kat" select="$sezviraty[starts-with(local-name(), 'EKO')]"/>
            </xsl:call-template>
            <xsl:if test="not($sezviraty)">
              <p>V žádném dni platnosti nejsou evidována žádná zvířata.</p>
            </xsl:if>
            <xsl:variable name="bez" select="$kategorie[count(. | $sezviraty) != count($sezviraty)]"/>
            <xsl:if test="$bez">
              <p class="bez">
                <strong>Bez zvířat ve všech dnech platnosti</strong>
                <xsl:text> (počet 0, VDJ 0): </xsl:text>
                <xsl:for-each select="$bez">
                  <xsl:sort select="string-length(substring-before($poradi, concat('|', local-name(), '|')))" data-type="number"/>
                  <xsl:if test="position() &gt; 1">, </xsl:if>
                  <xsl:call-template name="nazevKategorie"><xsl:with-param name="n" select="local-name()"/></xsl:call-template>
                  <xsl:if test="normalize-space(@KOEF) != ''">
                    <span class="slabe">
                      <xsl:text> (koef. </xsl:text>
                      <xsl:call-template name="cislo">
                        <xsl:with-param name="v" select="@KOEF"/>
                        <xsl:with-param name="vzor" select="'0,00#'"/>
                      </xsl:call-template>
                      <xsl:text>)</xsl:text>
                    </span>
                  </xsl:if>
                </xsl:for-each>
              </p>
            </xsl:if>
          </section>
        </xsl:otherwise>
      </xsl:choose>
    </div>
  </xsl:template>

  <!-- One table of categories: a line per validity date, three columns per category. -->
  <xsl:template name="tabulkaKategorii">
    <xsl:param name="nadpis"/>
    <xsl:param name="radky"/>
    <xsl:param name="kat"/>
    <xsl:if test="$kat">
      <h3><xsl:value-of select="$nadpis"/></h3>
      <table class="data kat">
        <xsl:if test="count($kat) &gt;= 4"><xsl:attribute name="class">data kat siroka</xsl:attribute></xsl:if>
        <thead>
          <tr>
            <th rowspan="2">Datum platnosti</th>
            <xsl:for-each select="$kat">
              <xsl:sort select="string-length(substring-before($poradi, concat('|', local-name(), '|')))" data-type="number"/>
              <th colspan="3" class="katNazev">
                <xsl:if test="starts-with(local-name(), 'KUN')"><xsl:attribute name="class">katNazev kun</xsl:attribute></xsl:if>
                <xsl:call-template name="nazevKategorie"><xsl:with-param name="n" select="local-name()"/></xsl:call-template>
              </th>
            </xsl:for-each>
          </tr>
          <tr>
            <xsl:for-each select="$kat">
              <th class="pod prvni">ks</th>
              <th class="pod">koef.</th>
              <th class="pod">VDJ</th>
            </xsl:for-each>
          </tr>
        </thead>
        <tbody>
          <xsl:for-each select="$radky">
            <xsl:sort select="@DATPLATNOST"/>
            <xsl:variable name="radek" select="."/>
            <tr>
              <td class="datum">
                <xsl:call-template name="datum"><xsl:with-param name="t" select="normalize-space(@DATPLATNOST)"/></xsl:call-template>
              </td>
              <xsl:for-each select="$kat">
                <xsl:sort select="string-length(substring-before($poradi, concat('|', local-name(), '|')))" data-type="number"/>
                <xsl:variable name="n" select="local-name()"/>
                <xsl:variable name="e" select="$radek/RUX:*[local-name() = $n][1]"/>
                <xsl:choose>
                  <xsl:when test="$e">
                    <td class="num prvni">
                      <xsl:if test="normalize-space($e) = '' or number(normalize-space($e)) = 0">
                        <xsl:attribute name="class">num prvni nula</xsl:attribute>
                      </xsl:if>
                      <xsl:if test="$zmeny">
                        <xsl:call-template name="zmenenaBunka">
                          <xsl:with-param name="klic" select="concat($radek/@DATPLATNOST, '|', $n, '_POCET')"/>
                          <xsl:with-param name="trida" select="'num prvni'"/>
                        </xsl:call-template>
                      </xsl:if>
                      <xsl:call-template name="cislo">
                        <xsl:with-param name="v" select="$e"/>
                        <xsl:with-param name="vzor" select="'#&#160;##0,##'"/>
                      </xsl:call-template>
                    </td>
                    <td class="num koef">
                      <xsl:if test="$zmeny">
                        <xsl:call-template name="zmenenaBunka">
                          <xsl:with-param name="klic" select="concat($radek/@DATPLATNOST, '|', $n, '_KOEF')"/>
                          <xsl:with-param name="trida" select="'num koef'"/>
                        </xsl:call-template>
                      </xsl:if>
                      <!-- The document keeps the service's coefficient; a changed one is in the list. -->
                      <xsl:choose>
                        <xsl:when test="$zmeny">
                          <xsl:variable name="novyKoef" select="key('zmena', concat($radek/@DATPLATNOST, '|', $n, '_KOEF'))[1]/@new"/>
                          <xsl:call-template name="cislo">
                            <xsl:with-param name="v" select="$e/@KOEF[not($novyKoef)] | $novyKoef"/>
                            <xsl:with-param name="vzor" select="'0,00#'"/>
                          </xsl:call-template>
                        </xsl:when>
                        <xsl:otherwise>
                          <xsl:call-template name="cislo">
                            <xsl:with-param name="v" select="$e/@KOEF"/>
                            <xsl:with-param name="vzor" select="'0,00#'"/>
                          </xsl:call-template>
                        </xsl:otherwise>
                      </xsl:choose>
                    </td>
                    <td class="num">
                      <xsl:if test="normalize-space($e/@VDJ) = '' or number(normalize-space($e/@VDJ)) = 0">
                        <xsl:attribute name="class">num nula</xsl:attribute>
                      </xsl:if>
                      <xsl:call-template name="cislo">
                        <xsl:with-param name="v" select="$e/@VDJ"/>
                        <xsl:with-param name="vzor" select="'#&#160;##0,00#'"/>
                      </xsl:call-template>
                    </td>
                  </xsl:when>
                  <xsl:otherwise>
                    <td class="num prvni nula">–</td>
                    <td class="num nula">–</td>
                    <td class="num nula">–</td>
                  </xsl:otherwise>
                </xsl:choose>
              </xsl:for-each>
            </tr>
          </xsl:for-each>
        </tbody>
      </table>
    </xsl:if>
  </xsl:template>

  <!-- ================================================================== chart -->

  <xsl:template name="graf">
    <xsl:param name="radky"/>
    <xsl:variable name="n" select="count($radky)"/>
    <xsl:variable name="cislaA" select="$radky/@PICHA[number(.) = number(.)]"/>
    <xsl:variable name="cislaB" select="$radky/@PICHB[number(.) = number(.)]"/>
    <!-- The limits belong on the axis too, so that their lines fall inside the plot. Both series in one
         step over the rows' attributes: a union of the two would compare every node with every other. -->
    <xsl:variable name="cisla"
        select="$radky/@*[(name() = 'PICHA' or name() = 'PICHB') and number(.) = number(.)]
                | $limMin[number(.) = number(.)] | $limMax[number(.) = number(.)]"/>
    <!-- A single date is no course: the table shows it. -->
    <xsl:if test="$cisla and $n &gt; 1">
      <xsl:variable name="max">
        <xsl:for-each select="$cisla">
          <xsl:sort select="number(.)" data-type="number" order="descending"/>
          <xsl:if test="position() = 1"><xsl:value-of select="number(.)"/></xsl:if>
        </xsl:for-each>
      </xsl:variable>
      <xsl:variable name="min">
        <xsl:for-each select="$cisla">
          <xsl:sort select="number(.)" data-type="number"/>
          <xsl:if test="position() = 1"><xsl:value-of select="number(.)"/></xsl:if>
        </xsl:for-each>
      </xsl:variable>
      <xsl:variable name="hi">
        <xsl:choose>
          <xsl:when test="number($max) &gt; 0"><xsl:value-of select="number($max)"/></xsl:when>
          <xsl:otherwise>0</xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="lo">
        <xsl:choose>
          <xsl:when test="number($min) &lt; 0"><xsl:value-of select="number($min)"/></xsl:when>
          <xsl:otherwise>0</xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="rozpeti">
        <xsl:choose>
          <xsl:when test="$hi - $lo &gt; 0"><xsl:value-of select="$hi - $lo"/></xsl:when>
          <xsl:otherwise>1</xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="krok">
        <xsl:call-template name="krokOsy"><xsl:with-param name="r" select="number($rozpeti)"/></xsl:call-template>
      </xsl:variable>
      <xsl:variable name="kHore">
        <xsl:choose>
          <xsl:when test="ceiling($hi * 1.06 div $krok - 0.000001) &gt; 0"><xsl:value-of select="ceiling($hi * 1.06 div $krok - 0.000001)"/></xsl:when>
          <xsl:when test="$lo &lt; 0">0</xsl:when>
          <xsl:otherwise>1</xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="kDole" select="floor($lo div $krok + 0.000001)"/>
      <xsl:variable name="yMax" select="$kHore * $krok"/>
      <xsl:variable name="yMin" select="$kDole * $krok"/>
      <xsl:variable name="pw" select="$gW - $gL - $gR"/>
      <xsl:variable name="ph" select="$gH - $gT - $gB"/>
      <xsl:variable name="popisky" select="$n &lt;= 16"/>
      <!-- Beyond a few dozen dates a mark per date would only blacken the plot: the series become plain
           lines, and the axis has a tick only where it has a date, ten dates at most, which fit side by side. -->
      <xsl:variable name="znacky" select="$n &lt;= 60"/>
      <xsl:variable name="kazdy" select="ceiling($n div (16 - 6 * number(not($znacky))))"/>

      <section class="graf">
        <h2>Vývoj intenzity chovu (PICHA a PICHB)</h2>
        <svg xmlns="http://www.w3.org/2000/svg" class="grafSvg" viewBox="0 0 {$gW} {$gH}" width="100%"
             role="img" aria-label="Graf intenzity chovu PICHA a PICHB podle data platnosti">
          <rect x="{$gL}" y="{$gT}" width="{$pw}" height="{$ph}" fill="#ffffff" stroke="#999999" stroke-width="1"/>

          <!-- horizontal grid lines with their values -->
          <xsl:call-template name="mrizka">
            <xsl:with-param name="k" select="$kDole"/>
            <xsl:with-param name="kMax" select="$kHore"/>
            <xsl:with-param name="krok" select="$krok"/>
            <xsl:with-param name="yMin" select="$yMin"/>
            <xsl:with-param name="yMax" select="$yMax"/>
            <xsl:with-param name="ph" select="$ph"/>
          </xsl:call-template>

          <xsl:if test="$limity">
            <xsl:for-each select="$limMin[number(.) = number(.)] | $limMax[number(.) = number(.)]">
              <xsl:variable name="y" select="format-number($gT + $ph * ($yMax - number(.)) div ($yMax - $yMin), '0.##')"/>
              <line class="limitCara" x1="{$gL}" y1="{$y}" x2="{$gW - $gR}" y2="{$y}" stroke="#b00000" stroke-width="1.5"
                    stroke-dasharray="3 3"/>
              <text x="{$gW - $gR - 4}" y="{$y - 4}" font-size="11" fill="#b00000" text-anchor="end">
                <xsl:choose>
                  <xsl:when test="local-name() = 'min'">dolní </xsl:when>
                  <xsl:otherwise>horní </xsl:otherwise>
                </xsl:choose>
                <xsl:value-of select="concat('limit z nastavení ', format-number(number(.), '0,000##', 'cz'))"/>
              </text>
            </xsl:for-each>
          </xsl:if>

          <!-- axis titles -->
          <text x="14" y="{$gT + $ph div 2}" font-size="13" fill="#333333" text-anchor="middle"
                transform="rotate(-90 14 {$gT + $ph div 2})">VDJ/ha</text>
          <text x="{$gL + $pw div 2}" y="{$gH - 4}" font-size="13" fill="#333333" text-anchor="middle">Datum platnosti</text>

          <!-- dates on the x axis -->
          <xsl:for-each select="$radky">
            <xsl:sort select="@DATPLATNOST"/>
            <xsl:variable name="x" select="$gL + $pw * (position() - 0.5) div $n"/>
            <xsl:if test="$znacky or (position() - 1) mod $kazdy = 0">
              <line x1="{format-number($x, '0.##')}" y1="{$gT + $ph}" x2="{format-number($x, '0.##')}" y2="{$gT + $ph + 5}" stroke="#666666"/>
            </xsl:if>
            <xsl:if test="(position() - 1) mod $kazdy = 0">
              <text x="{format-number($x, '0.##')}" y="{$gT + $ph + 20}" font-size="12" fill="#000000" text-anchor="middle">
                <xsl:call-template name="datum"><xsl:with-param name="t" select="normalize-space(@DATPLATNOST)"/></xsl:call-template>
              </text>
            </xsl:if>
          </xsl:for-each>

          <!-- the two series -->
          <xsl:if test="$cislaB">
            <polyline fill="none" stroke="#c8581b" stroke-width="2.5" stroke-dasharray="8 5">
              <xsl:attribute name="points">
                <xsl:for-each select="$radky">
                  <xsl:sort select="@DATPLATNOST"/>
                  <xsl:if test="number(@PICHB) = number(@PICHB)">
                    <xsl:value-of select="format-number($gL + $pw * (position() - 0.5) div $n, '0.##')"/>
                    <xsl:text>,</xsl:text>
                    <xsl:value-of select="format-number($gT + $ph * ($yMax - number(@PICHB)) div ($yMax - $yMin), '0.##')"/>
                    <xsl:text> </xsl:text>
                  </xsl:if>
                </xsl:for-each>
              </xsl:attribute>
            </polyline>
          </xsl:if>
          <xsl:if test="$cislaA">
            <polyline fill="none" stroke="#1f4e99" stroke-width="2.5">
              <xsl:attribute name="points">
                <xsl:for-each select="$radky">
                  <xsl:sort select="@DATPLATNOST"/>
                  <xsl:if test="number(@PICHA) = number(@PICHA)">
                    <xsl:value-of select="format-number($gL + $pw * (position() - 0.5) div $n, '0.##')"/>
                    <xsl:text>,</xsl:text>
                    <xsl:value-of select="format-number($gT + $ph * ($yMax - number(@PICHA)) div ($yMax - $yMin), '0.##')"/>
                    <xsl:text> </xsl:text>
                  </xsl:if>
                </xsl:for-each>
              </xsl:attribute>
            </polyline>
          </xsl:if>
          <xsl:for-each select="$radky[$znacky]">
            <xsl:sort select="@DATPLATNOST"/>
            <xsl:variable name="x" select="format-number($gL + $pw * (position() - 0.5) div $n, '0.##')"/>
            <xsl:variable name="maA" select="number(@PICHA) = number(@PICHA)"/>
            <xsl:variable name="maB" select="number(@PICHB) = number(@PICHB)"/>
            <xsl:variable name="yA" select="$gT + $ph * ($yMax - number(@PICHA)) div ($yMax - $yMin)"/>
            <xsl:variable name="yB" select="$gT + $ph * ($yMax - number(@PICHB)) div ($yMax - $yMin)"/>
            <xsl:variable name="textA" select="format-number(number(@PICHA), '0,000', 'cz')"/>
            <xsl:variable name="textB" select="format-number(number(@PICHB), '0,000', 'cz')"/>
            <!-- Where A and B coincide (a farm without horses) one dark label stands for both. -->
            <xsl:variable name="spolecny" select="$maA and $maB and $textA = $textB"/>
            <!-- B is labelled below its point, above it only where the axis leaves no room. -->
            <xsl:variable name="yPopisekB">
              <xsl:choose>
                <xsl:when test="$yB + 18 &lt; $gT + $ph - 2"><xsl:value-of select="$yB + 18"/></xsl:when>
                <xsl:otherwise><xsl:value-of select="$yB - 22"/></xsl:otherwise>
              </xsl:choose>
            </xsl:variable>
            <!-- A is labelled above its point, and higher still where B's label would overlap it. -->
            <xsl:variable name="yPopisekA">
              <xsl:choose>
                <xsl:when test="$maB and not($spolecny) and $yPopisekB &lt; $yB
                                and $yA - 9 &gt; $yPopisekB - 14 and $yA - 9 &lt; $yPopisekB + 14">
                  <xsl:value-of select="$yPopisekB - 14"/>
                </xsl:when>
                <xsl:otherwise><xsl:value-of select="$yA - 9"/></xsl:otherwise>
              </xsl:choose>
            </xsl:variable>
            <xsl:if test="$maB">
              <rect x="{format-number($x - 4, '0.##')}" y="{format-number($yB - 4, '0.##')}" width="8" height="8" fill="#c8581b"/>
              <xsl:if test="$popisky and not($spolecny)">
                <text x="{$x}" y="{format-number($yPopisekB, '0.##')}" font-size="11" fill="#c8581b" text-anchor="middle"
                      stroke="#ffffff" stroke-width="3" paint-order="stroke">
                  <xsl:value-of select="$textB"/>
                </text>
              </xsl:if>
            </xsl:if>
            <xsl:if test="$maA">
              <circle cx="{$x}" cy="{format-number($yA, '0.##')}" r="4.5" fill="#1f4e99"/>
              <xsl:if test="$popisky">
                <text x="{$x}" y="{format-number($yPopisekA, '0.##')}" font-size="11" fill="#1f4e99" text-anchor="middle"
                      stroke="#ffffff" stroke-width="3" paint-order="stroke">
                  <xsl:if test="$spolecny">
                    <xsl:attribute name="fill">#333333</xsl:attribute>
                    <xsl:attribute name="font-weight">bold</xsl:attribute>
                  </xsl:if>
                  <xsl:value-of select="$textA"/>
                </text>
              </xsl:if>
            </xsl:if>
          </xsl:for-each>

          <!-- legend -->
          <xsl:variable name="legendaB">
            <xsl:choose>
              <xsl:when test="$cislaA"><xsl:value-of select="$gL + 280"/></xsl:when>
              <xsl:otherwise><xsl:value-of select="$gL"/></xsl:otherwise>
            </xsl:choose>
          </xsl:variable>
          <g font-size="13">
            <xsl:if test="$cislaA">
              <line x1="{$gL}" y1="16" x2="{$gL + 34}" y2="16" stroke="#1f4e99" stroke-width="2.5"/>
              <circle cx="{$gL + 17}" cy="16" r="4.5" fill="#1f4e99"/>
              <text x="{$gL + 42}" y="20" fill="#000000">PICHA – varianta A, s koňmi</text>
            </xsl:if>
            <xsl:if test="$cislaB">
              <line x1="{$legendaB}" y1="16" x2="{$legendaB + 34}" y2="16" stroke="#c8581b" stroke-width="2.5" stroke-dasharray="8 5"/>
              <rect x="{$legendaB + 13}" y="12" width="8" height="8" fill="#c8581b"/>
              <text x="{$legendaB + 42}" y="20" fill="#000000">PICHB – varianta B, bez koňů</text>
            </xsl:if>
          </g>
        </svg>
        <xsl:if test="$popisky and $radky[format-number(number(@PICHA), '0.000') = format-number(number(@PICHB), '0.000')]">
          <p class="pozn">Kde se PICHA a PICHB shodují, platí jeden tmavý popisek pro obě hodnoty a čára PICHB je skrytá pod čarou PICHA.</p>
        </xsl:if>
      </section>
    </xsl:if>
  </xsl:template>

  <xsl:template name="mrizka">
    <xsl:param name="k"/>
    <xsl:param name="kMax"/>
    <xsl:param name="krok"/>
    <xsl:param name="yMin"/>
    <xsl:param name="yMax"/>
    <xsl:param name="ph"/>
    <xsl:if test="$k &lt;= $kMax">
      <xsl:variable name="v" select="$k * $krok"/>
      <xsl:variable name="y" select="format-number($gT + $ph * ($yMax - $v) div ($yMax - $yMin), '0.##')"/>
      <line x1="{$gL}" y1="{$y}" x2="{$gW - $gR}" y2="{$y}" stroke="#d0d0d0" stroke-width="1">
        <xsl:if test="$k = 0"><xsl:attribute name="stroke">#555555</xsl:attribute></xsl:if>
      </line>
      <text x="{$gL - 6}" y="{$y + 4}" font-size="12" fill="#333333" text-anchor="end">
        <xsl:value-of select="format-number($v, '0,0##', 'cz')"/>
      </text>
      <xsl:call-template name="mrizka">
        <xsl:with-param name="k" select="$k + 1"/>
        <xsl:with-param name="kMax" select="$kMax"/>
        <xsl:with-param name="krok" select="$krok"/>
        <xsl:with-param name="yMin" select="$yMin"/>
        <xsl:with-param name="yMax" select="$yMax"/>
        <xsl:with-param name="ph" select="$ph"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:template>

  <!-- A step for the value axis that gives about four to six grid lines. -->
  <xsl:template name="krokOsy">
    <xsl:param name="r"/>
    <xsl:choose>
      <xsl:when test="$r &lt;= 0.05">0.01</xsl:when>
      <xsl:when test="$r &lt;= 0.1">0.02</xsl:when>
      <xsl:when test="$r &lt;= 0.25">0.05</xsl:when>
      <xsl:when test="$r &lt;= 0.5">0.1</xsl:when>
      <xsl:when test="$r &lt;= 1">0.2</xsl:when>
      <xsl:when test="$r &lt;= 2.5">0.5</xsl:when>
      <xsl:when test="$r &lt;= 5">1</xsl:when>
      <xsl:when test="$r &lt;= 10">2</xsl:when>
      <xsl:when test="$r &lt;= 25">5</xsl:when>
      <xsl:when test="$r &lt;= 50">10</xsl:when>
      <xsl:when test="$r &lt;= 100">20</xsl:when>
      <xsl:otherwise><xsl:value-of select="ceiling($r div 500) * 100"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ================================================================== texts -->

  <!-- A number from the response in Czech form; an empty text gives a dash, a text that is not a
       number is shown as it stands. -->
  <xsl:template name="cislo">
    <xsl:param name="v"/>
    <xsl:param name="vzor" select="'#&#160;##0,00#'"/>
    <!-- cut (not rounded) to three decimals, as the yearly figure is; left empty (false) unless asked -->
    <xsl:param name="zkratit"/>
    <!-- The template runs for every cell of the big tables, so a number, by far the usual case, takes
         the fewest steps. number() itself skips the whitespace around the text, so the text needs no
         normalizing before it: only a text that is no number is looked at again. -->
    <xsl:variable name="c" select="number(translate($v, ',', '.'))"/>
    <xsl:choose>
      <xsl:when test="$c != $c">
        <xsl:variable name="t" select="normalize-space($v)"/>
        <xsl:choose>
          <xsl:when test="$t = ''"><span class="slabe">–</span></xsl:when>
          <xsl:otherwise><span class="necislo" title="není číslo"><xsl:value-of select="$t"/></span></xsl:otherwise>
        </xsl:choose>
      </xsl:when>
      <xsl:when test="$zkratit"><xsl:value-of select="format-number(floor($c * 1000) div 1000, $vzor, 'cz')"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="format-number($c, $vzor, 'cz')"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="text">
    <xsl:param name="t"/>
    <xsl:choose>
      <xsl:when test="normalize-space($t) != ''"><xsl:value-of select="normalize-space($t)"/></xsl:when>
      <xsl:otherwise><span class="slabe">neuvedeno</span></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- Birth number with the usual slash before the last three or four digits. -->
  <xsl:template name="rodneCislo">
    <xsl:param name="t"/>
    <xsl:choose>
      <xsl:when test="$t = ''"><span class="slabe">neuvedeno</span></xsl:when>
      <xsl:when test="(string-length($t) = 10 or string-length($t) = 9) and translate($t, '0123456789', '') = ''">
        <xsl:value-of select="concat(substring($t, 1, 6), '/', substring($t, 7))"/>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$t"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="priznak">
    <xsl:param name="t"/>
    <xsl:variable name="p" select="normalize-space($t)"/>
    <xsl:choose>
      <xsl:when test="$p = 'A' or $p = 'a'">ano</xsl:when>
      <xsl:when test="$p = 'N' or $p = 'n'">ne</xsl:when>
      <xsl:when test="$p = ''"><span class="slabe">–</span></xsl:when>
      <xsl:otherwise><xsl:value-of select="$p"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- yyyy-mm-dd as "d. m. yyyy"; any other text as it stands. -->
  <xsl:template name="datum">
    <xsl:param name="t"/>
    <xsl:choose>
      <xsl:when test="string-length($t) = 10 and substring($t, 5, 1) = '-' and substring($t, 8, 1) = '-'
                      and translate(concat(substring($t, 1, 4), substring($t, 6, 2), substring($t, 9, 2)), '0123456789', '') = ''">
        <xsl:value-of select="concat(number(substring($t, 9, 2)), '.&#160;', number(substring($t, 6, 2)), '.&#160;', substring($t, 1, 4))"/>
      </xsl:when>
      <xsl:when test="$t = ''">–</xsl:when>
      <xsl:otherwise><xsl:value-of select="$t"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- The service's stamp "2006-3-3T9:5:7" as "3. 3. 2006 9:05:07". -->
  <xsl:template name="datumCas">
    <xsl:param name="t"/>
    <xsl:variable name="d" select="substring-before(concat($t, 'T'), 'T')"/>
    <xsl:variable name="c" select="substring-after($t, 'T')"/>
    <xsl:variable name="r" select="substring-before($d, '-')"/>
    <xsl:variable name="m" select="substring-before(substring-after($d, '-'), '-')"/>
    <xsl:variable name="dd" select="substring-after(substring-after($d, '-'), '-')"/>
    <xsl:choose>
      <xsl:when test="number($r) = number($r) and number($m) = number($m) and number($dd) = number($dd)">
        <xsl:value-of select="concat(number($dd), '.&#160;', number($m), '.&#160;', $r)"/>
        <xsl:if test="$c != ''">
          <xsl:variable name="h" select="substring-before(concat($c, ':'), ':')"/>
          <xsl:variable name="mi" select="substring-before(concat(substring-after($c, ':'), ':'), ':')"/>
          <xsl:variable name="s" select="substring-after(substring-after($c, ':'), ':')"/>
          <xsl:text> v </xsl:text>
          <xsl:value-of select="number($h)"/>
          <xsl:if test="$mi != ''"><xsl:value-of select="concat(':', format-number(number($mi), '00'))"/></xsl:if>
          <xsl:if test="$s != ''"><xsl:value-of select="concat(':', format-number(number($s), '00'))"/></xsl:if>
        </xsl:if>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$t"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- The entries of the main window's list of calculation types. -->
  <xsl:template name="typText">
    <xsl:param name="typ"/>
    <xsl:choose>
      <xsl:when test="$typ = '1'">1 - okamžitá intenzita chovu podle NV 242/2004 Sb.</xsl:when>
      <xsl:when test="$typ = '2'">2 - okamžitá intenzita chovu podle NV 242/2004 Sb - § 7 odst.3) - TTP - ke dni podání žádosti (stanovené datum)</xsl:when>
      <xsl:when test="$typ = '3'">3 - okamžitá intenzita chovu podle NV 242/2004 Sb - § 7 odst.5) písm. a) - TTP - ke stanovenému dni v průběhu 5letého období</xsl:when>
      <xsl:when test="$typ = '4'">4 - průměrná intenzita chovu podle NV 241/2004 Sb.</xsl:when>
      <xsl:when test="$typ = '5'">5 - průměrná intenzita chovu podle NV 242/2004 Sb (EZ).</xsl:when>
      <xsl:when test="$typ = '6'">6 - průměrná intenzita chovu podle NV 242/2004 Sb - § 7 odst.5) písm. a) - TTP</xsl:when>
      <xsl:when test="$typ = ''"><span class="slabe">neuveden</span></xsl:when>
      <xsl:otherwise>neznámý typ výpočtu „<xsl:value-of select="$typ"/>“</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="variantaText">
    <xsl:param name="v"/>
    <xsl:choose>
      <xsl:when test="$v = 'A'">A - výpočet PICH - varianta A - s koňmi</xsl:when>
      <xsl:when test="$v = 'B'">B - výpočet PICH - varianta B - bez koňů</xsl:when>
      <xsl:when test="$v = 'C'">C - oba výpočty</xsl:when>
      <xsl:when test="$v = ''"><span class="slabe">neuvedena</span></xsl:when>
      <xsl:otherwise>neznámá varianta „<xsl:value-of select="$v"/>“</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="nazevKategorie">
    <xsl:param name="n"/>
    <xsl:choose>
      <!-- first generation -->
      <xsl:when test="$n = 'SKOTML'">Skot mladší</xsl:when>
      <xsl:when test="$n = 'SKOTST'">Skot starší</xsl:when>
      <xsl:when test="$n = 'EKOSKOTML'">Eko skot mladší</xsl:when>
      <xsl:when test="$n = 'EKOSKOTST'">Eko skot starší</xsl:when>
      <xsl:when test="$n = 'KOZA'">Koza</xsl:when>
      <xsl:when test="$n = 'EKOKOZA'">Eko koza</xsl:when>
      <xsl:when test="$n = 'OVCE'">Ovce</xsl:when>
      <xsl:when test="$n = 'EKOOVCE'">Eko ovce</xsl:when>
      <xsl:when test="$n = 'KUNML'">Kůň mladší</xsl:when>
      <xsl:when test="$n = 'KUNST'">Kůň starší</xsl:when>
      <!-- 2006 generation -->
      <xsl:when test="$n = 'SKOTDO6'">Skot do 6 měsíců</xsl:when>
      <xsl:when test="$n = 'SKOTOD6DO24'">Skot od 6 do 24 měsíců</xsl:when>
      <xsl:when test="$n = 'SKOTOD24'">Skot od 24 měsíců</xsl:when>
      <xsl:when test="$n = 'OVCEDO12'">Ovce do 12 měsíců</xsl:when>
      <xsl:when test="$n = 'OVCEOD12'">Ovce od 12 měsíců</xsl:when>
      <xsl:when test="$n = 'KOZYDO12'">Kozy do 12 měsíců</xsl:when>
      <xsl:when test="$n = 'KOZYOD12'">Kozy od 12 měsíců</xsl:when>
      <xsl:when test="$n = 'KUNDO3'">Kůň do 3 let</xsl:when>
      <xsl:when test="$n = 'KUNOD3'">Kůň od 3 let</xsl:when>
      <xsl:when test="$n = 'EKOSKOTDO6'">Eko skot do 6 měsíců</xsl:when>
      <xsl:when test="$n = 'EKOSKOTOD6DO24'">Eko skot od 6 do 24 měsíců</xsl:when>
      <xsl:when test="$n = 'EKOSKOTOD24'">Eko skot od 24 měsíců</xsl:when>
      <xsl:when test="$n = 'EKOOVCEDO12'">Eko ovce do 12 měsíců</xsl:when>
      <xsl:when test="$n = 'EKOOVCEOD12'">Eko ovce od 12 měsíců</xsl:when>
      <xsl:when test="$n = 'EKOKOZYDO12'">Eko kozy do 12 měsíců</xsl:when>
      <xsl:when test="$n = 'EKOKOZYOD12'">Eko kozy od 12 měsíců</xsl:when>
      <xsl:otherwise><xsl:value-of select="$n"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ================================================================== limits -->

  <!-- The service's yearly figure under the recomputed one of a changed calculation. -->
  <xsl:template name="rokSluzby">
    <xsl:param name="v"/>
    <xsl:if test="$v">
      <div class="sluzba">
        <xsl:text>Podle služby: </xsl:text>
        <xsl:call-template name="cislo">
          <xsl:with-param name="v" select="$v"/>
          <xsl:with-param name="vzor" select="'0,000'"/>
        </xsl:call-template>
        <xsl:text> VDJ/ha</xsl:text>
      </div>
    </xsl:if>
  </xsl:template>

  <!-- One yearly figure against the limits: green within, red outside. -->
  <xsl:template name="pasLimitu">
    <div class="karta limitPas limitOK">
      <xsl:if test="@verdict != 'vyhovuje'"><xsl:attribute name="class">karta limitPas limitMimo</xsl:attribute></xsl:if>
      <div class="popis">
        <xsl:value-of select="concat(@figure, ' – ', $limity/@source, ': ')"/>
        <xsl:choose>
          <xsl:when test="$limMin and $limMax">
            <xsl:value-of select="concat(format-number(number($limMin), '0,000##', 'cz'), ' – ', format-number(number($limMax), '0,000##', 'cz'))"/>
          </xsl:when>
          <xsl:when test="$limMin"><xsl:value-of select="concat('nejméně ', format-number(number($limMin), '0,000##', 'cz'))"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="concat('nejvýše ', format-number(number($limMax), '0,000##', 'cz'))"/></xsl:otherwise>
        </xsl:choose>
        <xsl:text> VDJ/ha</xsl:text>
      </div>
      <div class="hodnota"><xsl:value-of select="@verdict"/></div>
      <div class="popis">
        <xsl:choose>
          <xsl:when test="@verdict = 'vyhovuje'">rezerva </xsl:when>
          <xsl:otherwise>o </xsl:otherwise>
        </xsl:choose>
        <xsl:value-of select="format-number(translate(@margin, '-', ''), '0,000##', 'cz')"/>
        <xsl:text> VDJ/ha</xsl:text>
        <xsl:if test="number(@rowsOutside) &gt; 0">
          <xsl:value-of select="concat('; mimo limit ', @rowsOutside, ' dnů platnosti (', @rows, '), první ')"/>
          <xsl:call-template name="datum"><xsl:with-param name="t" select="normalize-space(@firstOutside)"/></xsl:call-template>
        </xsl:if>
      </div>
    </div>
  </xsl:template>

  <!-- Marks a row of the overview whose own figure lies outside the limits. -->
  <xsl:template name="radekMimoLimit">
    <xsl:variable name="mimoA" select="$limity/UPR:Limit[@rows = 'PICHA'] and (($limMin and number(@PICHA) &lt; number($limMin))
        or ($limMax and number(@PICHA) &gt; number($limMax)))"/>
    <xsl:variable name="mimoB" select="$limity/UPR:Limit[@rows = 'PICHB'] and (($limMin and number(@PICHB) &lt; number($limMin))
        or ($limMax and number(@PICHB) &gt; number($limMax)))"/>
    <xsl:if test="$mimoA or $mimoB">
      <xsl:attribute name="class">mimoLimit</xsl:attribute>
      <xsl:attribute name="title">mimo limit z nastavení</xsl:attribute>
    </xsl:if>
  </xsl:template>

  <xsl:template name="cssLimity">
.limitPas { min-width: 300px; }
.limitOK { border-color: #2e7d32; border-left-color: #2e7d32; background: #e8f5e9; }
.limitOK .hodnota { color: #1b5e20; }
.limitMimo { border-color: #b00000; border-left-color: #b00000; background: #fdecea; }
.limitMimo .hodnota { color: #b00000; }
table.data tr.mimoLimit td { background: #fdecea !important; }
tr.mimoLimit td.silne { color: #b00000; }
  </xsl:template>

  <!-- ================================================================== style -->

  <xsl:template name="css">
@page { size: A4 landscape; margin: 12mm 12mm 14mm 12mm; }
* { box-sizing: border-box; }
html { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { font-family: "DejaVu Sans", "Segoe UI", Tahoma, Arial, Helvetica, sans-serif; font-size: 10pt;
       color: #000; background: #fff; margin: 0 auto; padding: 14px 18px; max-width: 1180px; line-height: 1.35; }
h1 { font-size: 17pt; margin: 2px 0 2px 0; color: #16365c; }
h2 { font-size: 12pt; margin: 14px 0 6px 0; color: #16365c; border-bottom: 1px solid #9fb3cc; padding-bottom: 2px; }
h3 { font-size: 10.5pt; margin: 10px 0 4px 0; }
.zahlavi { border-bottom: 3px solid #16365c; padding-bottom: 6px; margin-bottom: 6px; }
.zahlavi .program { font-size: 9pt; letter-spacing: 0.05em; text-transform: uppercase; color: #555; }
.zahlavi .odpoved { font-size: 9.5pt; color: #333; }
.bloky { display: flex; gap: 24px; flex-wrap: wrap; }
.bloky .blok { flex: 1 1 420px; }
table.udaje { border-collapse: collapse; width: 100%; }
table.udaje th { text-align: left; font-weight: normal; color: #444; padding: 3px 10px 3px 0; vertical-align: top;
                 width: 12em; white-space: nowrap; }
table.udaje td { padding: 3px 0; vertical-align: top; border-bottom: 1px dotted #c8c8c8; }
.jmeno { font-size: 11.5pt; }
.karty { display: flex; gap: 16px; flex-wrap: wrap; }
.karta { border: 1px solid #9fb3cc; border-left-width: 6px; padding: 6px 14px; min-width: 260px; background: #f4f7fb; }
.kartaA { border-left-color: #1f4e99; }
.kartaB { border-left-color: #c8581b; }
.karta .popis { font-size: 9pt; color: #333; }
.karta .hodnota { font-size: 20pt; font-weight: bold; }
.karta .jednotka { font-size: 10pt; font-weight: normal; }
.karta .sluzba { font-size: 9pt; color: #555; }
.pozn { font-size: 8.5pt; color: #444; margin: 4px 0; }
table.data { border-collapse: collapse; margin: 4px 0 8px 0; }
table.data th, table.data td { border: 1px solid #8c8c8c; padding: 2px 6px; }
table.data th { background: #e4ebf4; font-weight: bold; text-align: center; vertical-align: bottom; }
table.data th .pod, table.data th.pod { font-weight: normal; font-size: 8pt; }
table.data tbody tr:nth-child(even) td { background: #f6f6f6; }
table.souhrn { min-width: 70%; }
td.num { text-align: right; white-space: nowrap; font-variant-numeric: tabular-nums; }
td.datum { white-space: nowrap; font-weight: bold; }
td.stred { text-align: center; }
td.silne { font-weight: bold; }
table.kat { font-size: 8.5pt; }
table.kat.siroka { width: 100%; }
table.kat th, table.kat td { padding: 1px 3px; }
table.kat th.katNazev { font-size: 8.5pt; }
table.kat th.kun { background: #efe6da; }
table.kat .prvni { border-left: 2px solid #555; }
table.kat td.koef { color: #555; }
td.nula { color: #9a9a9a; }
.slabe { color: #888; }
.necislo { font-style: italic; color: #a00000; }
.bez { font-size: 9pt; }
.graf { page-break-inside: avoid; break-inside: avoid; }
.grafSvg { display: block; width: 100%; max-width: 1000px; height: auto; font-family: inherit; }
.prazdno { border: 2px solid #888; padding: 10px 16px; margin: 16px 0; background: #f4f4f4; }
.velky { font-size: 14pt; font-weight: bold; margin: 4px 0; }
.chyba { border: 2px solid #b00000; padding: 4px 16px 10px 16px; margin: 16px 0; background: #fff3f3; }
.chyba h2 { color: #b00000; border-bottom-color: #e0a0a0; }
.chyba table.udaje th { width: 9em; }
.chybaText { font-size: 15pt; font-weight: bold; color: #b00000; }
.rada { margin: 10px 0 0 0; }
.upraveno { border: 4px solid #b00000; padding: 4px 16px 8px 16px; margin: 0 0 12px 0; background: #fff3f3; }
.upravenoPas { font-size: 16pt; font-weight: bold; color: #b00000; margin: 4px 0; }
.neprevzato { border: 2px solid #a06000; padding: 4px 16px 8px 16px; margin: 0 0 12px 0; background: #fff8e8; }
.neprevzatoPas { font-size: 13pt; font-weight: bold; color: #804000; margin: 4px 0; }
table.zmeny { min-width: 60%; }
table.data td.zmeneno { background: #ffe08a; font-weight: bold; outline: 2px solid #b00000; outline-offset: -2px; }
ul.detail { margin: 0; padding-left: 18px; }
.paticka { margin-top: 18px; border-top: 1px solid #9fb3cc; padding-top: 6px; font-size: 8.5pt; color: #333; }
.podpisy { display: flex; gap: 40px; margin: 16px 0 12px 0; font-size: 9.5pt; }
.linka { display: inline-block; width: 200px; border-bottom: 1px solid #000; }
.linka.kratka { width: 110px; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; break-inside: avoid; }
@media print {
  body { padding: 0; max-width: none; font-size: 9.5pt; }
  .novaStrana { page-break-before: always; break-before: page; }
  h2 { page-break-after: avoid; break-after: avoid; }
  table.data tbody tr:nth-child(even) td { background: #f3f3f3; }
}
  </xsl:template>

</xsl:stylesheet>
