{** A drawing: an ordered list of shapes that can be painted in one go. }
unit Drawing;

interface

uses
  Classes, Shapes;

const
  {** Version of the drawing file format. }
  FormatVersion = 3;

type
  {** Holds the shapes of one drawing and owns them. }
  TDrawing = class(TComponent)
  private
    FShapes: TList;
    function GetCount: Integer;
    function GetShape(Index: Integer): TShape;
  public
    {** The title of the drawing. }
    Title: string;
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    {** Adds a shape; the drawing owns it from now on.
        @param AShape the shape to add
        @return its position in the drawing }
    function Add(AShape: TShape): Integer;
    {** Removes every shape. }
    procedure Clear;
    {** The sum of the areas of all shapes. }
    function TotalArea: Double;
    property Count: Integer read GetCount;
    {** The shapes in drawing order. }
    property Shapes[Index: Integer]: TShape read GetShape; default;
  end;

  {** A drawing that keeps a history of its changes. }
  TUndoDrawing = class(TDrawing)
  public
    {** Takes back the last change. }
    procedure Undo;
  end;

implementation

constructor TDrawing.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FShapes := TList.Create;
end;

destructor TDrawing.Destroy;
begin
  Clear;
  FShapes.Free;
  inherited Destroy;
end;

function TDrawing.Add(AShape: TShape): Integer;
begin
  Result := FShapes.Add(AShape);
end;

procedure TDrawing.Clear;
var
  I: Integer;
begin
  for I := 0 to FShapes.Count - 1 do
    TShape(FShapes[I]).Free;
  FShapes.Clear;
end;

function TDrawing.TotalArea: Double;
var
  I: Integer;
begin
  Result := 0;
  for I := 0 to Count - 1 do
    Result := Result + Shapes[I].Area;
end;

function TDrawing.GetCount: Integer;
begin
  Result := FShapes.Count;
end;

function TDrawing.GetShape(Index: Integer): TShape;
begin
  Result := TShape(FShapes[Index]);
end;

{** Removes the shape added last, if there is one. }
procedure TUndoDrawing.Undo;
begin
  if Count > 0 then
  begin
    Shapes[Count - 1].Free;
    FShapes.Delete(Count - 1);
  end;
end;

end.
