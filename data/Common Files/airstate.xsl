<?xml version="1.0" encoding="UTF-8"?>
<!--
  Shows an air state exported from the moist-air state window (context menu,
  "Copy to XML") as a table in a web browser. Keep this file beside the saved
  .xml file: the document names it as "airstate.xsl" in its own folder.

  The document: <airstate> holds one or more <properties name="..."> elements,
  each a list of <item code="db" caption="Dry Bulb" units="°C">20.0</item>.
  Values and units are the window's cell texts, as shown there.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"
              doctype-system="about:legacy-compat"/>

  <!-- The name of a set of properties, or a plain title when it has none. -->
  <xsl:template name="point-name">
    <xsl:param name="props"/>
    <xsl:choose>
      <xsl:when test="normalize-space($props/@name) != ''">
        <xsl:value-of select="$props/@name"/>
      </xsl:when>
      <xsl:otherwise>(unnamed)</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="/">
    <html lang="en">
      <head>
        <meta name="viewport" content="width=device-width, initial-scale=1"/>
        <title>
          <xsl:text>Moist air state</xsl:text>
          <xsl:if test="normalize-space(airstate/properties[1]/@name) != ''">
            <xsl:text>: </xsl:text>
            <xsl:value-of select="airstate/properties[1]/@name"/>
          </xsl:if>
        </title>
        <style>
          :root { color-scheme: light dark; }
          body {
            margin: 0; padding: 1.5rem 1rem;
            font-family: system-ui, "Segoe UI", "DejaVu Sans", sans-serif;
            font-size: 1rem; line-height: 1.4;
            background: #f4f6f8; color: #1c2430;
          }
          main { max-width: 34rem; margin: 0 auto; }
          .kind {
            margin: 0; font-size: 0.85rem; font-weight: 600;
            letter-spacing: 0.06em; text-transform: uppercase; color: #4a6a8a;
          }
          h1 { margin: 0.1rem 0 1rem; font-size: 1.6rem; font-weight: 600;
               overflow-wrap: anywhere; }
          table {
            width: 100%; border-collapse: separate; border-spacing: 0;
            background: #fff; border: 1px solid #c9d2dc; border-radius: 6px;
            overflow: hidden; box-shadow: 0 1px 3px rgba(0, 0, 0, 0.08);
          }
          th, td { padding: 0.4rem 0.7rem; text-align: left; }
          thead th {
            font-size: 0.8rem; font-weight: 600; color: #4a5866;
            background: #e8edf2; border-bottom: 1px solid #c9d2dc;
          }
          tbody tr + tr th, tbody tr + tr td { border-top: 1px solid #e3e8ee; }
          tbody th { font-weight: 500; }
          td.value {
            text-align: right; font-variant-numeric: tabular-nums;
            font-weight: 600; white-space: nowrap;
          }
          thead th.value { text-align: right; }
          td.units { color: #3b4a58; white-space: nowrap; }
          .code {
            font-family: ui-monospace, "DejaVu Sans Mono", monospace;
            font-size: 0.8rem; color: #6b7a88; width: 1%;
          }
          p.note { margin: 0.8rem 0 1.6rem; font-size: 0.85rem; color: #55636f; }
          @media (prefers-color-scheme: dark) {
            body { background: #15191e; color: #e4e9ee; }
            .kind { color: #8fb4d8; }
            table { background: #1f252c; border-color: #3a444f; }
            thead th { background: #28303a; color: #c3ccd5; border-color: #3a444f; }
            tbody tr + tr th, tbody tr + tr td { border-color: #323b45; }
            td.units { color: #c3ccd5; }
            .code, p.note { color: #9aa8b5; }
          }
          @media print {
            body { background: #fff; color: #000; padding: 0; }
            table { box-shadow: none; }
          }
        </style>
      </head>
      <body>
        <main>
          <xsl:choose>
            <xsl:when test="airstate/properties">
              <xsl:apply-templates select="airstate/properties"/>
            </xsl:when>
            <xsl:otherwise>
              <p class="kind">Moist air state</p>
              <h1>No properties</h1>
              <p class="note">This document holds no air state properties.</p>
            </xsl:otherwise>
          </xsl:choose>
        </main>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="properties">
    <section>
      <p class="kind">Moist air state</p>
      <h1>
        <xsl:call-template name="point-name">
          <xsl:with-param name="props" select="."/>
        </xsl:call-template>
      </h1>
      <table>
        <thead>
          <tr>
            <th scope="col">Property</th>
            <th scope="col" class="value">Value</th>
            <th scope="col">Units</th>
            <th scope="col" class="code" title="Short code of the property in the file">Code</th>
          </tr>
        </thead>
        <tbody>
          <xsl:apply-templates select="item"/>
        </tbody>
      </table>
      <p class="note">
        <xsl:text>Values and units as the air state window showed them.</xsl:text>
      </p>
    </section>
  </xsl:template>

  <xsl:template match="item">
    <tr title="{@caption} ({@code})">
      <th scope="row"><xsl:value-of select="@caption"/></th>
      <td class="value"><xsl:value-of select="normalize-space(.)"/></td>
      <td class="units"><xsl:value-of select="@units"/></td>
      <td class="code"><xsl:value-of select="@code"/></td>
    </tr>
  </xsl:template>
</xsl:stylesheet>
